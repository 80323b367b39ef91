#pragma once

#include "tools/cli/Arguments.h"

#include "core/editor/EditHistory.h"
#include "core/editor/ListDocument.h"

#include <iosfwd>
#include <string>

namespace fw::cli {

// A list file loaded for the editing words of the list command: once for a single call, or
// once for a whole batch of them that share the document and its history.
struct ListEditSession {
    std::string path;
    ListDocument doc;
    EditHistory history;
    bool savingLoses = false;  // saving drops program lines or text that the file holds
    bool lossAccepted = false; // a changing word ran with --force on such a list
};

// kExitOk, or the usage error printed: arguments ("list", the word, the file, the rest) name an
// editing word, with the number of words and the options it takes.
int CheckListEditCall(const Arguments& arguments, std::ostream& err);
// Whether the word may change the list (false for rows and find).
bool ListEditWordChanges(const std::string& word);
// Reads and repairs session.path as the program-list page would take it.
int LoadListForEdit(ListEditSession& session, std::ostream& err);
// Runs one checked call on the loaded list; reads and writes no file.
int RunListEditWord(const Arguments& arguments, ListEditSession& session, std::ostream& out,
                    std::ostream& err);
// Writes the list atomically with the type it had, without questions.
int WriteEditedList(const ListEditSession& session, std::ostream& err);

} // namespace fw::cli
