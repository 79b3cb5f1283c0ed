"""The reference model on the converter's worked examples and written edge cases.

Guards the model itself: a differential test is only as good as its model.
"""

import os
import sys
import unittest

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from converter_model import ConverterModel  # noqa: E402

HEADER = ("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}}\r\n"
          "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}\r\n\\viewkind4\\uc1")
CENTRE = '<table width=100%><tr><td align="center">'

# name, body after HEADER, expected HTML with "+H+G+F=3"
DOCUMENTS = [
    ("alignment and bold", "\\pard\\qc\\b Title\\b0\\par\r\n\\pard Body\\par",
     CENTRE + "<b>Title</b></td></tr></table><br>Body"),
    ("bulleted list", "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}"
     "\\fi-720\\li720 one\\par\r\n{\\pntext\\f1\\'B7\\tab}two\\par\r\n\\pard\\fi0\\li0 Normal\\par",
     "<li>one</li><li>two</li>Normal"),
    ("italic reopens after bold ends", "\\pard\\b a\\i b\\b0 c", "<b>a<i>b</i></b><i>c</i>"),
    ("font change after bold leaves later text plain", "\\pard\\b\\cf1 x\\b0\\cf0 y",
     '<b><font color="#FF0000">x</font></b>y</font>'),
    ("blank token at line start", "\\pard a\\par\\b   \\b0 c", "a&nbsp;&nbsp;<br>c"),
    ("trade mark in superscript", "\\pard Brand\\'99 x", "Brand<sup>TM</sup> x"),
    ("markup escaped once", "\\pard <script>&amp;", "&lt;script&gt;&amp;amp;"),
    ("escaped markup inside a hex escape", "\\pard x\\'a&y\\'<>z", "xyz"),
    ("tab and line", "\\pard a\\tab b\\line c", "a b<br>c"),
    ("unicode fallback in the token", "\\pard\\u1087?abc def", "&#1087;abc def"),
    ("unicode fallback in following tokens", "\\pard\\uc2\\u1087 \\'e9yz", "&#1087;z"),
    ("surrogate pair across a line break", "\\pard a\\u-10179?\r\n\\u-8704?y", "a&#128512;y"),
    ("space after fallback text is a fallback character", "\\pard\\uc2\\u1087? bcd",
     "&#1087;bcd"),
    ("size rounds half to even", "\\pard\\fs20.5 a", "<font size=2>a</font>"),
    ("ignored destinations", "\\pard{\\*\\bkmkstart x{\\b y}}z{\\pict\\wmetafile8 0123}w", "zw"),
]


class WorkedExamples(unittest.TestCase):
    def test_documents(self):
        for name, body, html in DOCUMENTS:
            with self.subTest(name):
                model = ConverterModel()
                self.assertEqual(model.ConvertRtfToHtml(HEADER + body + "\r\n}\r\n", "+H+G+F=3"), html)

    def test_state_kept_between_conversions(self):
        model = ConverterModel()
        model.ConvertRtfToHtml(HEADER + "\\pard\\cf1 red\r\n}", "+F=3")
        self.assertEqual(model.ConvertRtfToHtml("{\\rtf1 \\pard more}", ""),
                         '<font color="#FF0000">more</font>')

    def test_options(self):
        model = ConverterModel()
        for options, line_end, size in (("+CR", "\r\n", 0), ("+F=12x", "", 12), ("", "", 12),
                                        ("+F=99999", "", 32767), ("+F=x+CR", "\r\n", 0)):
            with self.subTest(options):
                model.ConvertRtfToHtml("", options)
                self.assertEqual((model.LineEnd, model.DefaultFontSize), (line_end, size))

    def test_tail_layers_peel_one_per_line(self):
        model = ConverterModel()
        self.assertEqual(model.ConvertRtfToHtml("{a\r\nb \r\n \r\n}", ""), "ab ")


class ComingChanges(unittest.TestCase):
    def test_pard_drops_a_pending_alignment(self):
        rtf = "{\\rtf1 \\pard\\qc\\par\\pard Left\\par}"
        self.assertEqual(ConverterModel().ConvertRtfToHtml(rtf, ""),
                         "<br>" + CENTRE + "Left</td></tr></table>")
        changed = ConverterModel(pard_drops_pending_alignment=True)
        self.assertEqual(changed.ConvertRtfToHtml(rtf, ""), "<br>Left")

    def test_fallback_continues_on_the_next_line(self):
        rtf = "{\\rtf1 word\\u1089\r\n?next line}"
        self.assertEqual(ConverterModel().ConvertRtfToHtml(rtf, ""), "word&#1089;?next line")
        changed = ConverterModel(fallback_crosses_lines=True)
        self.assertEqual(changed.ConvertRtfToHtml(rtf, ""), "word&#1089;next line")


if __name__ == "__main__":
    unittest.main()
