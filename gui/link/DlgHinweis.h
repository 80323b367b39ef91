#pragma once

#include "core/firmware/Version.h"

#include <QDialog>

namespace fw {

// The version warning before firmware goes out: six centred lines, YES goes on (accept),
// NO refuses (reject).
class CDlgHinweis : public QDialog {
    Q_OBJECT
public:
    explicit CDlgHinweis(const VersionWarning& warning, QWidget* parent = nullptr);
};

} // namespace fw
