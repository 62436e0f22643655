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

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    LocalizeForm(*this, texts);
}

} // namespace korvana::dialogs
