#include "gui/app/AboutDlg.h"

#include "gui/ui/Texts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fw {
namespace {
constexpr int kDialogId = 100;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(DialogText(kDialogId, "caption"));

    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/icons/flashwerk.svg")).pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("<b>Flashwerk</b>"), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    name->setFont(big);
    auto* text = new QLabel(DialogText(kDialogId, "static-text"), this);
    text->setWordWrap(true);
    auto* version = new QLabel(QStringLiteral("%1 %2 (%3)")
                                   .arg(DialogText(kDialogId, "static-version"),
                                        QStringLiteral(FLASHWERK_VERSION),
                                        QStringLiteral(FLASHWERK_RELEASE_DATE)),
                               this);
    version->setObjectName(QStringLiteral("version"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(text);
    texts->addWidget(version);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(DialogText(kDialogId, 1));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

} // namespace fw
