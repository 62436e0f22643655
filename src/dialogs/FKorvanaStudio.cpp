#include "dialogs/FKorvanaStudio.h"

#include "dialogs/LocalizeForm.h"
#include "dialogs/Logo.h"

#include <QLabel>
#include <QVBoxLayout>

namespace korvana::dialogs {

namespace {

constexpr TextId captionText{250};

} // namespace

FKorvanaStudio::FKorvanaStudio(const TextService& texts) {
    setObjectName(QStringLiteral("FKorvanaStudio"));
    setWindowTitle(QStringLiteral("KorvanaStudio"));
    setTag(*this, captionText);
    setWindowIcon(applicationIcon());

    auto* picture = new QLabel(this);
    picture->setPixmap(logoPicture(280, 100));
    lblStatus_ = new QLabel(this);
    lblStatus_->setMinimumWidth(280);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(lblStatus_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    LocalizeForm(*this, texts);
}

void FKorvanaStudio::showStatus(const QString& text) {
    lblStatus_->setText(text);
}

QString FKorvanaStudio::status() const {
    return lblStatus_->text();
}

} // namespace korvana::dialogs
