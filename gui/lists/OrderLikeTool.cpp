#include "gui/lists/OrderLikeTool.h"

#include "core/editor/OrderLike.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/UserInteraction.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/ui/FileChooser.h"
#include "gui/ui/ReportWindow.h"
#include "gui/ui/Texts.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

namespace fw {

QAction* AddOrderLikeTool(CDlgProgrammpool& editor, UserInteraction& interaction,
                          const std::string& listsFolder) {
    QAction* action = editor.ToolsMenu()->addAction(ResText(str::kMenuOrderLike));
    action->setObjectName("orderLike");
    const QString folder = QString::fromStdString(listsFolder);
    QObject::connect(action, &QAction::triggered, &editor, [&editor, &interaction, folder] {
        const QString path = AskOpenPath(&editor, ResText(str::kOrderLikeChooseTitle), folder,
                                         ResText(str::kOrderLikeFilter));
        if (!path.isEmpty())
            OrderEditorLike(editor, interaction, path);
    });
    return action;
}

ReportWindow* OrderEditorLike(CDlgProgrammpool& editor, UserInteraction& interaction,
                              const QString& path) {
    CPoolListCtrl* grid = editor.Grid();
    // A cell being edited counts as typed, or the command waits for it to be put right.
    if (!grid->CommitEditor())
        return nullptr;
    std::string error;
    const std::optional<ReferenceList> reference =
        ReadReferenceList(QFile::encodeName(path).toStdString(), error);
    if (!reference) {
        interaction.ShowMessage(error, MessageIcon::Stop);
        return nullptr;
    }
    OrderLikeReport report;
    EditStatus status = EditStatus::Done;
    // The grid shows a refusal's message itself.
    grid->RunCommand([&](ListDocument& doc) {
        const EditResult result =
            OrderLike(doc, reference->pool, reference->banks, RestPlacement::End, report);
        status = result.status;
        return result;
    });
    if (status != EditStatus::Done && status != EditStatus::NothingToDo)
        return nullptr;
    auto* window =
        new ReportWindow(ResText(str::kOrderLikeReportTitle).arg(QFileInfo(path).fileName()),
                         QString::fromStdString(OrderLikeReportText(report)), interaction, &editor);
    window->setObjectName("orderLikeReport");
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<CPoolListCtrl> target(grid);
    QPushButton* select = window->AddButton(ResText(str::kOrderLikeSelectNew),
                                            [target, places = AddedPlaces(report)] {
                                                if (target)
                                                    target->SelectRowSet(places);
                                            });
    select->setObjectName("selectNew");
    select->setEnabled(!report.added.empty());
    window->show();
    return window;
}

} // namespace fw
