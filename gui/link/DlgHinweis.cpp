#include "gui/link/DlgHinweis.h"

#include "gui/ui/Texts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <string>

namespace fw {

using namespace ids::hint;

CDlgHinweis::CDlgHinweis(const VersionWarning& warning, QWidget* parent) : QDialog(parent) {
    setWindowTitle(DialogText(kDialog, "caption"));
    setObjectName(QString::number(kDialog));

    QFont normal = font();
    normal.setWeight(QFont::Medium);
    // The two version texts stand out from the sentence around them.
    QFont strong = font();
    strong.setWeight(QFont::DemiBold);
    if (strong.pointSizeF() > 0)
        strong.setPointSizeF(strong.pointSizeF() * 1.3);
    else
        strong.setPixelSize(strong.pixelSize() * 13 / 10);

    auto* layout = new QVBoxLayout(this);
    const std::array<std::string, 6> lines = VersionWarningLines(warning);
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        auto* line = new QLabel(QString::fromStdString(lines[static_cast<std::size_t>(i)]), this);
        line->setObjectName(QString::number(kFirstLine + i));
        line->setAlignment(Qt::AlignCenter);
        line->setFont(i == 1 || i == 3 ? strong : normal);
        // An empty line keeps its height so the layout of the three modes stays the same.
        line->setMinimumHeight(line->fontMetrics().height());
        layout->addWidget(line);
    }

    auto* buttons = new QDialogButtonBox(this);
    auto* yes = buttons->addButton(DialogText(kDialog, kYes), QDialogButtonBox::YesRole);
    yes->setObjectName(QString::number(kYes));
    auto* no = buttons->addButton(DialogText(kDialog, kNo), QDialogButtonBox::NoRole);
    no->setObjectName(QString::number(kNo));
    // Enter alone must not overwrite the receiver's software.
    no->setDefault(true);
    buttons->setCenterButtons(true);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
    layout->addSpacing(layout->spacing());
    layout->addWidget(buttons);
    // Room around the longest line, so that no text touches the window's edges.
    const int margin = fontMetrics().averageCharWidth() * 3;
    layout->setContentsMargins(margin, margin, margin, layout->contentsMargins().bottom());
    setMinimumWidth(fontMetrics().averageCharWidth() * 56);
}

} // namespace fw
