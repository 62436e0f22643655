#include "dialogs/FLogo.h"

#include "dialogs/LocalizeForm.h"
#include "dialogs/Logo.h"
#include "dialogs/ProgramVersion.h"
#include "dialogs/QtText.h"
#include "dialogs/SpokenText.h"
#include "services/InstalledVersion.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvana::dialogs {

namespace {

constexpr TextId captionText{250};
constexpr TextId aboutCaptionText{200};
constexpr TextId logoLineText{251};
constexpr std::array<int, 4> infoTexts{0, 202, 203, 204};
constexpr TextId okText{10};

constexpr int logoWidth = 420;
constexpr int logoHeight = 150;

} // namespace

FLogo::FLogo(QWidget* owner, const TextService& texts, StartupTrace trace,
             std::chrono::milliseconds minimumDisplayTime)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), texts_(texts),
      trace_(std::move(trace)) {
    setObjectName(QStringLiteral("FLogo"));
    setTag(*this, captionText);

    Image1_ = new QLabel(this);
    Image1_->setPixmap(logoPicture(logoWidth, logoHeight));

    lblLogo_ = new QLabel(QStringLiteral("lblLogo"), this);
    lblLogo_->setAlignment(Qt::AlignCenter);
    setTag(*lblLogo_, logoLineText);

    linInfo_ = new QFrame(this);
    linInfo_->setFrameShape(QFrame::HLine);

    // The about window's rows stand off the edges that the logo fills.
    constexpr int aboutMargin = 12;
    auto* info = new QGridLayout;
    info->setContentsMargins(aboutMargin, 0, aboutMargin, 0);
    for (std::size_t i = 0; i < lblInfo_.size(); ++i) {
        lblInfo_[i] = new QLabel(this);
        if (infoTexts[i] != 0) {
            setTag(*lblInfo_[i], TextId{infoTexts[i]});
        }
    }
    lblFileVersion_ = new QLabel(QStringLiteral("4.xx.xxxx"), this);
    lblKorvanaVersion_ = new QLabel(QStringLiteral("4.03"), this);
    // The versions come from the registry and the build: shown as written,
    // never read as markup.
    lblFileVersion_->setTextFormat(Qt::PlainText);
    lblKorvanaVersion_->setTextFormat(Qt::PlainText);
    info->addWidget(lblInfo_[0], 0, 0, 1, 2);
    info->addWidget(lblInfo_[1], 1, 0);
    info->addWidget(lblFileVersion_, 1, 1);
    info->addWidget(lblInfo_[2], 2, 0, 1, 2);
    info->addWidget(lblInfo_[3], 3, 0);
    info->addWidget(lblKorvanaVersion_, 3, 1);

    cmdOK_ = new QPushButton(QStringLiteral("cmdOK"), this);
    setTag(*cmdOK_, okText);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(Image1_);
    layout->addWidget(lblLogo_);
    layout->addWidget(linInfo_);
    layout->addLayout(info);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(aboutMargin, 0, aboutMargin, 0);
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    layout->addLayout(buttons);

    setAboutControlsVisible(false);

    LocalizeForm(*this, texts_);
    nameControlsForAccessibility();

    tmrLogo_.setSingleShot(true);
    tmrLogo_.setInterval(minimumDisplayTime);
    connect(&tmrLogo_, &QTimer::timeout, this, &FLogo::tmrLogo_Timer);
    tmrLogo_.start();
}

void FLogo::setAboutControlsVisible(bool visible) {
    for (QWidget* aboutOnly :
         {static_cast<QWidget*>(linInfo_), static_cast<QWidget*>(cmdOK_),
          static_cast<QWidget*>(lblFileVersion_), static_cast<QWidget*>(lblKorvanaVersion_)}) {
        aboutOnly->setVisible(visible);
    }
    for (QLabel* label : lblInfo_) {
        label->setVisible(visible);
    }
}

// Screen readers name a value by the caption beside it, which a plain label
// does not tell them; the logo is a picture without text of its own.
void FLogo::nameControlsForAccessibility() {
    Image1_->setAccessibleName(qtText(texts_.LoadText(captionText)));
    lblLogo_->setAccessibleName(lblLogo_->text());
    for (QLabel* label : lblInfo_) {
        label->setAccessibleName(label->text());
    }
    lblFileVersion_->setAccessibleName(lblInfo_[1]->text());
    lblKorvanaVersion_->setAccessibleName(lblInfo_[3]->text());
    cmdOK_->setAccessibleName(spokenText(cmdOK_->text()));
}

void FLogo::ShowInfo(const Registry& registry) {
    const std::string installed = InstalledVersion::read(registry).text();

    tmrLogo_.stop();
    setAboutControlsVisible(true);
    lblFileVersion_->setText(qtText(programFileVersion));
    lblKorvanaVersion_->setText(qtText(installed));
    setWindowTitle(qtText(texts_.LoadText(aboutCaptionText)));
    // The splash has no frame; a window that waits for the user needs one.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    cmdOK_->setDefault(true);
    cmdOK_->setFocus();
    exec();
}

void ShowInfo(QWidget* owner, const TextService& texts, const Registry& registry) {
    FLogo about(owner, texts);
    about.ShowInfo(registry);
}

void FLogo::InitReady() {
    initDone_ = true;
    hideWhenBothDone();
}

void FLogo::tmrLogo_Timer() {
    timerElapsed_ = true;
    tmrLogo_.stop();
    hideWhenBothDone();
}

void FLogo::hideWhenBothDone() {
    if (timerElapsed_ && initDone_) {
        hide();
        emit splashHidden();
    }
}

void FLogo::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!painted_) {
        painted_ = true;
        trace_.record("splash-shown");
    }
}

} // namespace korvana::dialogs
