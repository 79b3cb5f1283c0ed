// Generate in reader mode: the whole book converted once through the
// builder's converter, cut by the reader engine, and its pages put in place
// together like the default pages.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "builder/generation.h"
#include "converter/converter.h"
#include "richtext/rich_text_box.h"

namespace quillet {

// The whole book converted once and cut under the reader settings; only the
// index (or the one page) is opened.
Status GenerateReaderBook(RichTextBox& box, Converter& converter, const BookRequest& request,
                          const GenerateProgress& progress, Generation& run);

// Reader mode's part count for the box as it stands, from a conversion of its
// own: no converter's kept state is touched.
Result<int> CountReaderPartsOf(const RichTextBox& box, const BookRequest& request);

}  // namespace quillet
