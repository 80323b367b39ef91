#pragma once

#include <QString>

#include <string_view>

namespace fw {

// The string table's texts as the widgets need them.
QString ResText(int id);
QString DialogText(int dialogId, std::string_view control);
QString MenuText(int menuId, std::string_view item);
QString DialogText(int dialogId, int controlId);

// A caption with its "&" mnemonic marks removed ("&&" stays one "&").
QString WithoutMnemonic(const QString& caption);

} // namespace fw
