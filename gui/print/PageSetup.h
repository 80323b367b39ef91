#pragma once

class QWidget;

namespace fw {

struct AppContext;

// Runs the page setup dialog on the run's print settings. Font and colour choices stay even
// when the dialog is cancelled, so callers lay out again either way.
void OpenPageSetup(AppContext& context, QWidget* parent);

} // namespace fw
