#pragma once

#include <QString>

#include <string>

class QAction;

namespace fw {

class CDlgProgrammpool;
class ReportWindow;
class UserInteraction;

// "Order like..." of the editor's Tools menu: asks for the reference list in the lists folder
// and puts the edited list into its order.
QAction* AddOrderLikeTool(CDlgProgrammpool& editor, UserInteraction& interaction,
                          const std::string& listsFolder);

// Orders the editor's list like the list at path as one undo step and shows the report, whose
// button selects the programs the reference does not know. A reference that cannot be read, or
// a refusal, is told and changes nothing; then there is no report.
ReportWindow* OrderEditorLike(CDlgProgrammpool& editor, UserInteraction& interaction,
                              const QString& path);

} // namespace fw
