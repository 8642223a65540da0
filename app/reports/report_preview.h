// ReportPreview: the report's pages shown as thumbnails (across and down,
// 1 to 10 each) or one zoomed page, with next, previous, Page Up and Page
// Down, the page spin box, the zoom settings and their status texts. Print
// leaves the global response code completed, exit cancelled.
#pragma once

#include "runtime/report/page_output.h"

namespace vaultrix::app {

void ReportPreview(const report::PreviewQueue& pages);

}  // namespace vaultrix::app
