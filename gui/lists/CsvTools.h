#pragma once

#include <QString>

#include <functional>

namespace fw {

struct AppContext;
class CDlgProgrammpool;

// The editor's CSV entries of its Tools menu: the list as a spreadsheet file, and a spreadsheet
// file into the list as one undo step with a report. listName gives the file name the editor
// shows, for the suggested CSV name.
void AddCsvTools(CDlgProgrammpool& editor, AppContext& context, std::function<QString()> listName);

} // namespace fw
