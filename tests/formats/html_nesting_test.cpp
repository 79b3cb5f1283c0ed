#include "richtext/formats/html_nesting.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

struct NestingCase {
  const char* name;
  HtmlLimits limits;
  std::string html;
  std::string bounded;
};

void PrintTo(const NestingCase& row, std::ostream* out) {
  *out << row.name;
}

HtmlLimits Depth(std::size_t depth) {
  return {.max_depth = depth};
}
HtmlLimits Formatting(std::size_t count) {
  return {.max_formatting = count};
}

class HtmlNesting : public ::testing::TestWithParam<NestingCase> {};

TEST_P(HtmlNesting, BoundsTheDocument) {
  EXPECT_EQ(BoundHtmlNesting(GetParam().html, GetParam().limits), GetParam().bounded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HtmlNesting,
    ::testing::Values(
        NestingCase{"ordinary_html_unchanged",
                    {},
                    "<!DOCTYPE html><html><head><title>t</title></head><body><p class=x>a "
                    "<b>b</b> &amp; c<br></p></body></html>",
                    "<!DOCTYPE html><html><head><title>t</title></head><body><p class=x>a "
                    "<b>b</b> &amp; c<br></p></body></html>"},
        NestingCase{"start_and_end_tags_past_the_depth_dropped", Depth(2),
                    "<div><span><em>x</em></span></div>y", "<div><span>x</span></div>y"},
        NestingCase{"closed_elements_free_their_depth", Depth(2),
                    "<div><span>a</span><span>b</span></div><div>c</div>",
                    "<div><span>a</span><span>b</span></div><div>c</div>"},
        NestingCase{"end_tag_closes_what_is_open_inside", Depth(2),
                    "<div><span>a</div><div><span>b</div>", "<div><span>a</div><div><span>b</div>"},
        NestingCase{"paragraphs_close_each_other_and_their_content", Depth(2),
                    "<p><span>a<p><span>b<p><span>c<div><span>d</div>",
                    "<p><span>a<p><span>b<p><span>c<div><span>d</div>"},
        NestingCase{"list_items_close_each_other", Depth(3), "<ul><li><i>a<li><i>b<li><i>c</ul>",
                    "<ul><li><i>a<li><i>b<li><i>c</ul>"},
        NestingCase{"void_and_self_closing_cells_take_no_depth", Depth(1),
                    "<div><br><img src=x><hr><td>a<tr>b</div>",
                    "<div><br><img src=x><hr><td>a<tr>b</div>"},
        NestingCase{"raw_text_is_not_scanned", Depth(1),
                    "<div><script>if (a<b && c<div>) {}</script><style><div></style>x</div>",
                    "<div><script>if (a<b && c<div>) {}</script><style><div></style>x</div>"},
        NestingCase{"comments_are_not_scanned", Depth(1),
                    "<div><!-- <div><div> --><!--><!---><?x <div>?></div>",
                    "<div><!-- <div><div> --><!--><!---><?x <div>?></div>"},
        NestingCase{"attributes_past_the_limit_dropped",
                    {.max_attributes = 2},
                    "<p a=1 b='>' c=\"3\" d>x</p><br e f g/>",
                    "<p a=1 b='>' >x</p><br e f />"},
        NestingCase{"unclosed_formatting_past_the_limit_dropped", Formatting(2),
                    "<b><i><u>x</u></i></b><s>y", "<b><i>x</i></b><s>y"},
        NestingCase{"three_identical_formatting_elements_count_once", Formatting(4),
                    "<font a><font a><font a><font a><font a><b>x",
                    "<font a><font a><font a><font a><font a><b>x"},
        NestingCase{"a_cell_forgets_the_formatting_opened_in_it", Formatting(1),
                    "<table><tr><td><b>x<td><i>y<tr><td><u>z</table><s>w",
                    "<table><tr><td><b>x<td><i>y<tr><td><u>z</table><s>w"},
        NestingCase{"svg_self_closing_takes_no_depth", Depth(2),
                    "<svg><path/><path/><g><path/></g></svg><div>x</div>",
                    "<svg><path/><path/><g><path/></g></svg><div>x</div>"},
        NestingCase{"xhtml_empty_elements_written_open_and_closed",
                    {.xml_empty_tags = true},
                    "<p>a<a id='n'/>b<br/><script src='s.js'/><div/></p>",
                    "<p>a<a id='n'></a>b<br/><script src='s.js'></script><div></div></p>"},
        NestingCase{"unterminated_tag_copied", Depth(2), "<div><p a=\"x", "<div><p a=\"x"},
        NestingCase{"lone_angle_brackets_are_text", Depth(1), "a < b <3 </ c>", "a < b <3 </ c>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HtmlNesting, DeepNestingIsBoundedInOnePass) {
  std::string html;
  for (int i = 0; i < 100000; ++i) html += "<div>";
  html += "x";
  for (int i = 0; i < 100000; ++i) html += "</div>";
  const std::string bounded = BoundHtmlNesting(html, HtmlLimits{});
  std::string expected;
  for (int i = 0; i < 256; ++i) expected += "<div>";
  expected += "x";
  for (int i = 0; i < 256; ++i) expected += "</div>";
  EXPECT_EQ(bounded, expected);
}

}  // namespace
}  // namespace quillet
