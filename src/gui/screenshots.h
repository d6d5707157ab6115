#pragma once
#include <QString>

namespace kestora::gui {
class GuiFrontEnd;
// Writes one PNG per window into folder; returns the number written.
int writeScreenshots(GuiFrontEnd& fe, const QString& folder);
}  // namespace kestora::gui
