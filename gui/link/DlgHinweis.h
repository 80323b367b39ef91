#pragma once

#include "core/firmware/Version.h"

#include <QDialog>

namespace fw {

namespace ids::hint {
inline constexpr int kDialog = 195;
// The six lines are controls kFirstLine to kFirstLine + 5.
inline constexpr int kFirstLine = 1109;
inline constexpr int kYes = 1;
inline constexpr int kNo = 2;
} // namespace ids::hint

// The version warning before firmware goes out: six centred lines, YES goes on (accept),
// NO refuses (reject).
class CDlgHinweis : public QDialog {
    Q_OBJECT
public:
    explicit CDlgHinweis(const VersionWarning& warning, QWidget* parent = nullptr);
};

} // namespace fw
