// The viewer's version as its screens show it.
#pragma once

namespace qtzyn {

constexpr double kViewerVersion = 6.0;
constexpr const char* kViewerBuildDate = "2004.10.28";

}  // namespace qtzyn
