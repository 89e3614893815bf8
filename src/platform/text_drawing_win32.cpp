#include "platform/text_drawing.h"

#include <string>

#include "platform/wide_path.h"

namespace vudo::platform {

void DrawUtf8Text(HDC context, RECT& rect, std::string_view utf8, UINT format) {
  const std::wstring wide = WidenUtf8(utf8);
  DrawTextW(context, wide.c_str(), static_cast<int>(wide.size()), &rect, format);
}

}  // namespace vudo::platform
