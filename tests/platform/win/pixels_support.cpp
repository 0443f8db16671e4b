#include "tests/platform/win/pixels_support.h"

namespace win::pixels {

BEGIN_MESSAGE_MAP(Board, CDialog)
ON_WM_VSCROLL()
ON_WM_HSCROLL()
END_MESSAGE_MAP()

}  // namespace win::pixels
