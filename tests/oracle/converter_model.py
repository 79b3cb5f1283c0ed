"""A plain reference model of Quillet's RTF-to-HTML converter.

Written from the converter's rules, not from its code, and kept close to them:
the four code lists, the kinds "P", "PG", "A", "G", "K", the tokenizer's
scanning steps. It is meant to be compared with the real converter on random
documents, so it favours being easy to check over being fast; every step is
still linear enough for thousands of small documents per second.

Texts are Python strings holding one character per byte (decode the RTF as
Latin-1 and encode the result the same way), so the model works on bytes
exactly as the converter does.

Like the converter, one model object keeps its state between conversions (font
and alignment, colour table, default size, SkipTokens...): a batch of documents
through one object matches a batch through one converter.
"""

CRLF = "\r\n"
LIST_ITEM = "</li>"
ALIGN_TABLE = "</td></tr></table>"
BLOCK_CODES = (LIST_ITEM, ALIGN_TABLE)
FONT = "</font>"

# Open and pending elements each stop at this many (hostile input).
MAX_ELEMENTS = 1000
MAX_DEFAULT_FONT_SIZE = 32767
INT32_MIN, INT32_MAX = -(2**31), 2**31 - 1

# The markup characters of the document are escaped before tokenising; each
# escape still counts as one character where characters are counted.
MARKUP_ESCAPES = ("&amp;", "&lt;", "&gt;")


def _entity_table():
    """Replacement of every Windows-1252 code, as two lower-case hex digits."""
    table = {"00": "&nbsp;", "85": "...", "99": "<rtf>:\\super TM\\nosupersub"}
    references = {"&": "&amp;", "<": "&lt;", ">": "&gt;",
                  "\\": "&#92;", "{": "&#123;", "}": "&#125;"}
    for code in range(0x20, 0x7F):
        table["%02x" % code] = references.get(chr(code), chr(code))
    # 01-1f, 7f and the five unassigned codes 81, 8d, 8f, 90, 9d give nothing.
    names = (
        "80 euro,82 sbquo,83 fnof,84 bdquo,86 dagger,87 Dagger,88 circ,89 permil,8a Scaron,"
        "8b lsaquo,8c OElig,8e #381,91 lsquo,92 rsquo,93 ldquo,94 rdquo,95 bull,96 ndash,"
        "97 mdash,98 tilde,9a scaron,9b rsaquo,9c oelig,9e #382,9f Yuml,a0 nbsp,a1 iexcl,"
        "a2 cent,a3 pound,a4 curren,a5 yen,a6 brvbar,a7 sect,a8 uml,a9 copy,aa ordf,"
        "ab laquo,ac not,ad shy,ae reg,af macr,b0 deg,b1 plusmn,b2 sup2,b3 sup3,b4 acute,"
        "b5 micro,b6 para,b7 middot,b8 cedil,b9 sup1,ba ordm,bb raquo,bc frac14,bd frac12,"
        "be frac34,bf iquest,c0 Agrave,c1 Aacute,c2 Acirc,c3 Atilde,c4 Auml,c5 Aring,"
        "c6 AElig,c7 Ccedil,c8 Egrave,c9 Eacute,ca Ecirc,cb Euml,cc Igrave,cd Iacute,"
        "ce Icirc,cf Iuml,d0 ETH,d1 Ntilde,d2 Ograve,d3 Oacute,d4 Ocirc,d5 Otilde,d6 Ouml,"
        "d7 times,d8 Oslash,d9 Ugrave,da Uacute,db Ucirc,dc Uuml,dd Yacute,de THORN,"
        "df szlig,e0 agrave,e1 aacute,e2 acirc,e3 atilde,e4 auml,e5 aring,e6 aelig,"
        "e7 ccedil,e8 egrave,e9 eacute,ea ecirc,eb euml,ec igrave,ed iacute,ee icirc,"
        "ef iuml,f0 eth,f1 ntilde,f2 ograve,f3 oacute,f4 ocirc,f5 otilde,f6 ouml,f7 divide,"
        "f8 oslash,f9 ugrave,fa uacute,fb ucirc,fc uuml,fd yacute,fe thorn,ff yuml"
    )
    for row in names.split(","):
        code, name = row.split(" ")
        table[code] = "&" + name + ";"
    return table


ENTITIES = _entity_table()


def LookupEntity(hex_digits):
    return ENTITIES.get(hex_digits.lower(), "")


def ReplaceAll(text, find, replacement):
    if find == "" or text == "":
        return text
    return text.replace(find, replacement)  # left to right, never rescanning inserted text


def IsDigitChar(s):
    return s != "" and s in "1234567890"


def NormalizeEnds(s):
    s = s.strip(" ")
    while True:
        before = s
        if s.endswith("\r"):
            s = s[:-1]
        if s.startswith("\r"):
            s = s[1:]
        if s.endswith("\n"):
            s = s[:-1]
        if s.startswith("\n"):
            s = s[1:]
        if s == before:
            return s


def ExtractGroup(body, pos):
    """Cuts the group around 1-based position pos; returns (group, new body)."""
    start, depth = pos, 1
    while depth > 0:
        start -= 1
        if start <= 0:
            depth -= 1
        elif body[start - 1] == "}":
            depth += 1
        elif body[start - 1] == "{":
            depth -= 1
    start = max(start - 1, 1)
    n, stop, depth = len(body), pos, 1
    while depth > 0:
        stop += 1
        if stop >= n:
            depth -= 1
        elif body[stop - 1] == "{":
            depth += 1
        elif body[stop - 1] == "}":
            depth -= 1
    stop = min(stop + 1, n)
    group = body[start : stop - 1]
    body = body[:start] + body[stop - 1 :]
    return group, ReplaceAll(body, CRLF + CRLF, CRLF)


def CharLength(text, i):
    """Length of the character at index i: an escaped markup character is one."""
    if text[i] == "&":
        for escape in MARKUP_ESCAPES:
            if text.startswith(escape, i):
                return len(escape)
    return 1


def HexEscapeLength(text, i):
    """Length of the hex escape token starting at index i ("\\'" and two characters)."""
    end = i + 2
    for _ in range(2):
        if end < len(text):
            end += CharLength(text, end)
    return min(end, len(text)) - i


def ParseNumber(text):
    """A number parameter: sign, digits, one decimal point, rounded half to even.

    Returns None when text is not a number; the value may lie outside 32 bits.
    """
    body = text[1:] if text[:1] in ("+", "-") else text
    whole, _, fraction = body.partition(".")
    digits = whole + fraction
    if not (digits.isascii() and digits.isdigit()):
        return None
    value = float(text)
    if value != value or abs(value) == float("inf"):
        return INT32_MAX + 1
    return round(value)  # Python rounds half to even


class BodyReader:
    """NextLine over the prepared text, by offsets instead of copies."""

    def __init__(self, body):
        self.text, self.begin, self.end = body, 0, len(body)

    def _normalize(self):
        # NormalizeEnds of text[begin:end], on the two ends only.
        t = self.text
        while self.begin < self.end and t[self.begin] == " ":
            self.begin += 1
        while self.end > self.begin and t[self.end - 1] == " ":
            self.end -= 1
        while True:
            b, e = self.begin, self.end
            if self.end > self.begin and t[self.end - 1] == "\r":
                self.end -= 1
            if self.end > self.begin and t[self.begin] == "\r":
                self.begin += 1
            if self.end > self.begin and t[self.end - 1] == "\n":
                self.end -= 1
            if self.end > self.begin and t[self.begin] == "\n":
                self.begin += 1
            if (b, e) == (self.begin, self.end):
                return

    def empty(self):
        return self.begin >= self.end

    def NextLine(self):
        k = self.text.find(CRLF, self.begin, self.end)
        if k < 0:
            line = NormalizeEnds(self.text[self.begin : self.end])
            self.begin = self.end
            return line
        line = NormalizeEnds(self.text[self.begin : k + 1])
        self.begin = k
        self._normalize()
        return line


class ConverterModel:
    def __init__(self, pard_drops_pending_alignment=False, fallback_crosses_lines=False):
        # Coming changes, off until they land in the converter.
        self.pard_drops_pending_alignment = pard_drops_pending_alignment
        self.fallback_crosses_lines = fallback_crosses_lines
        # Code lists: entries [closing tag, opening tag, kind], index 0 innermost.
        self.Codes = []
        self.NextCodes = []
        self.NextBegCodes = []
        # Output strings.
        self.HtmlOut = ""
        self.ClosingText = ""
        self.BeforeText = ""
        self.OpeningText = ""
        self.LineEnd = ""
        # Font and alignment.
        self.DefaultFontSize = 0
        self.FontString = ""
        self.FontColor = ""
        self.FontSize = ""
        self.FontSizeNum = 0
        self.AlignTag = ""
        self.ColorTable = [""]
        # Flags and counters.
        self.AtLineStart = True
        self.NewParagraph = False
        self.SkipTokens = 0
        self.IgnoreDepth = 0
        self.HasLists = False
        # Unicode escapes: fallback length and a high surrogate waiting for its pair.
        self.UnicodeSkip = 1
        self.PendingHigh = 0
        self.FallbackLeft = 0
        # The line being tokenised: RtfRest is self.rest[self.pos:].
        self.rest = ""
        self.pos = 0
        self.ate_space = False

    # ----- Driver -----------------------------------------------------------

    def ConvertRtfToHtml(self, rtf, options):
        self.ResetCodeLists()
        self.AtLineStart = True
        self.NewParagraph = False
        self.HtmlOut = ""
        self.UnicodeSkip = 1
        self.PendingHigh = 0
        self.FallbackLeft = 0
        self.ReadOptions(options)
        body = self.PrepareBody(rtf)
        self.IgnoreDepth = 0
        reader = BodyReader(body)
        while not reader.empty():
            self.rest, self.pos = reader.NextLine(), 0
            if self.FallbackLeft > 0:
                self.SkipFallback(self.FallbackLeft)
            while self.pos < len(self.rest):
                self.HandleToken(self.NextToken())
            if not self.fallback_crosses_lines:
                self.FallbackLeft = 0
        closing = self.CloseAllCodes()
        before = ReplaceAll(ReplaceAll(self.BeforeText, "<br>", ""), CRLF, "")
        self.HtmlOut += self.ClosingText + before + closing
        self.ClosingText = self.BeforeText = self.OpeningText = ""
        result, self.HtmlOut = self.HtmlOut, ""
        return result

    def ReadOptions(self, options):
        self.LineEnd = CRLF if "+CR" in options else ""
        at = options.find("+F=")
        if at >= 0:
            i, size = at + 3, 0
            while IsDigitChar(options[i : i + 1]):
                size = min(size * 10 + int(options[i]), MAX_DEFAULT_FONT_SIZE)
                i += 1
            self.DefaultFontSize = size

    def PrepareBody(self, rtf):
        body = NormalizeEnds(rtf)
        if body.startswith("{") and body.endswith("}"):
            body = body[1:-1]
        self.HasLists = "\\list\\" in body
        if "\\colortbl" in body:
            group, body = ExtractGroup(body, body.find("\\colortbl") + 1)
            self.ParseColorTable(group)
        for word in ("\\fonttbl", "\\stylesheet", "\\info", "\\listtable", "\\listoverridetable"):
            if word in body:
                _, body = ExtractGroup(body, body.find(word) + 1)
        for markup, escape in (("&", "&amp;"), ("<", "&lt;"), (">", "&gt;")):
            body = ReplaceAll(body, markup, escape)
        return body

    def HandleToken(self, token):
        if self.IgnoreDepth > 0:
            if token == "{":
                self.IgnoreDepth += 1
            elif token == "}":
                self.IgnoreDepth -= 1
            return
        if token in ("\\pict", "\\*"):
            self.IgnoreDepth = 1
            return
        if token == "\\pntext":
            self.IgnoreDepth = 1
        self.TranslateToken(token)

    # ----- Tokenizer --------------------------------------------------------

    def NextToken(self):
        line, p = self.rest, self.pos
        self.ate_space = False
        if line[p] in "{}":
            self.pos += 1
            return line[p]
        if line.startswith("\\'", p):
            self.pos += HexEscapeLength(line, p)
            return line[p : self.pos]
        n = len(line) - p
        control, i = False, 0
        while True:
            i += 1
            if i >= n:
                if i == n:
                    i += 1
                break
            c = line[p + i - 1]
            if c in "\\{}":
                if c == "\\" and i == 1:
                    control = True
                if i > 1 and line[p + i] != "\\":
                    break
            elif control and c == " ":
                break
        token = line[p : p + i - 1]
        while token and token[-1] in "{}":
            token = token[:-1]
            i -= 1
        self.pos = p + i - 1
        if line.startswith(" ", self.pos):
            self.pos += 1
            self.ate_space = True
        return token

    def PutBack(self, text):
        self.rest = text + self.rest[self.pos :]
        self.pos = 0

    # ----- Colour table -----------------------------------------------------

    def ParseColorTable(self, group):
        self.ColorTable = [""]
        a = group.find("\\colortbl")
        if a < 0:
            return
        a = group.find(";", a)
        if a < 0:
            return
        last = group.find(";}", a)
        if last < 0:
            return
        r = group.find("\\red", a)
        while 0 <= r <= last:
            at, colour = r, ColorComponent(group, r, 4)
            for word in ("\\green", "\\blue"):
                found = group.find(word, at)
                if found >= 0:
                    at = found
                    colour += ColorComponent(group, found, len(word))
                else:
                    colour += "00"  # a missing component counts 0
            self.ColorTable.append(colour)
            r = group.find("\\red", at + 1)

    # ----- Code lists -------------------------------------------------------

    def ResetCodeLists(self):
        self.Codes = []
        self.DropPendingBefore("")

    def ResetFontAndAlign(self):
        self.FontString = self.AlignTag = self.FontColor = self.FontSize = ""
        self.FontSizeNum = 0

    def IsPendingCode(self, code):
        return code in self.NextCodes

    def IsOpenCode(self, code, open_only):
        return any(e[0] == code and (not open_only or e[2] in ("A", "G")) for e in self.Codes)

    def Queue(self, code, opening):
        if code and len(self.NextCodes) < MAX_ELEMENTS:
            self.NextCodes.append(code)
            self.NextBegCodes.append(opening)

    def PushFront(self, code, opening):
        if code and len(self.NextCodes) < MAX_ELEMENTS:
            self.NextCodes.insert(0, code)
            self.NextBegCodes.insert(0, opening)

    def RemoveNextCode(self, code):
        if code in self.NextCodes:
            i = self.NextCodes.index(code)
            del self.NextCodes[i]
            del self.NextBegCodes[i]

    def ReplaceNextBegCode(self, code, opening):
        count = 0
        for i, pending in enumerate(self.NextCodes):
            if pending == code:
                self.NextBegCodes[i] = opening
                count += 1
        return count

    def DropPendingBefore(self, code):
        if code and self.IsPendingCode(code):
            i = self.NextCodes.index(code)
            del self.NextCodes[:i]
            del self.NextBegCodes[:i]
        else:
            self.NextCodes, self.NextBegCodes = [], []

    def CommitPendingCodes(self):
        n = len(self.NextCodes)
        if n == 0:
            return
        # The last pending list item becomes the outermost of the batch.
        for b in range(n - 1, 0, -1):
            if self.NextCodes[b] == LIST_ITEM:
                self.NextCodes[b] = self.NextCodes[b - 1]
                self.NextBegCodes[b] = self.NextBegCodes[b - 1]
                self.NextCodes[b - 1], self.NextBegCodes[b - 1] = LIST_ITEM, "<li>"
        live = sum(1 for e in self.Codes if e[2] != "K")
        if live + n <= MAX_ELEMENTS:  # a batch beyond the limit is dropped whole
            batch = [
                [c, o, "PG" if c in BLOCK_CODES else "P"]
                for c, o in zip(reversed(self.NextCodes), reversed(self.NextBegCodes))
            ]
            self.Codes = batch + self.Codes
        self.NextCodes, self.NextBegCodes = [], []

    def RequeueInnerCodes(self, code):
        if self.IsPendingCode(code):
            return
        for entry in self.Codes:
            if entry[0] == code:
                break
            if entry[2] != "K":
                self.PushFront(entry[0], entry[1])

    def MarkCodesKilled(self, code, keep_kind):
        for entry in self.Codes:
            if (code == "*" or entry[0] == code) and entry[2] != keep_kind:
                entry[2] = "K"

    def MarkCodeActive(self, code):
        for entry in self.Codes:
            if entry[0] == code:
                entry[2] = "A"

    def PurgeKilledCodes(self):
        self.Codes = [e for e in self.Codes if e[2] != "K"]

    # ----- Emission ---------------------------------------------------------

    def BuildFontTag(self, color, size):
        if color == "" and size == "":
            return ""
        tag = "<font"
        if color:
            tag += ' color="' + color + '"'
        if size and int(size) != self.DefaultFontSize:
            tag += " size=" + size
        return tag + ">"

    def OpenFontTag(self):
        for entry in reversed(self.Codes):
            if entry[0] == FONT:
                return entry[1]
        return ""

    def CloseMarkedCodes(self):
        if self.OpenFontTag() != self.FontString:
            self.MarkCodesKilled(FONT, "")
            # The pending font pair takes the wanted tag even when it is empty.
            replaced = self.ReplaceNextBegCode(FONT, self.FontString)
            if self.FontString and replaced == 0:
                self.Queue(FONT, self.FontString)
        elif not self.IsPendingCode(LIST_ITEM):
            self.MarkCodeActive(FONT)
        killed = [i for i, e in enumerate(self.Codes) if e[2] == "K"]
        if not killed:
            return ""
        k = killed[-1]
        text = ""
        for entry in self.Codes[: k + 1]:
            text += entry[0]
            if entry[0] == LIST_ITEM:
                text += self.LineEnd
        for entry in reversed(self.Codes[: k + 1]):
            if entry[2] != "K":
                if not self.IsPendingCode(entry[0]):
                    self.Queue(entry[0], entry[1])
                entry[2] = "K"
        return text

    def OpenPendingCodes(self):
        return self.OpenEntries(reversed(self.Codes), None)

    def OpenPendingBelow(self, code):
        return self.OpenEntries(self.Codes, code)

    def OpenEntries(self, entries, stop_code):
        text = ""
        for entry in entries:
            if entry[0] == stop_code:
                break
            if entry[2] in ("P", "PG"):
                text += entry[1]
                entry[2] = "A" if entry[2] == "P" else "G"
        return text

    def CloseAllCodes(self):
        return "".join(e[0] for e in self.Codes)

    # ----- Translation ------------------------------------------------------

    def End(self, code, open_only):
        if self.IsOpenCode(code, open_only):
            self.RequeueInnerCodes(code)
            self.MarkCodesKilled(code, "")
        if self.IsPendingCode(code):
            self.RemoveNextCode(code)

    def TranslateToken(self, token):
        if self.SkipTokens >= 1:
            self.SkipTokens -= 1
            return
        if token[:1] not in ("\\", "{", "}"):
            self.PendingHigh = 0
            self.WriteTextToken(token)
            return
        word = token.strip(" ")
        if not self.IsUnicodeWord(word):
            self.PendingHigh = 0
        self.TranslateControl(word)

    def TranslateControl(self, word):
        two = word[:2]
        if two == "}":
            if word == "}" and self.IgnoreDepth == 0:
                self.GroupEnd()
        elif two == "\\'":
            self.HexEscape(word)
        elif two == "\\b":
            self.TranslateB(word)
        elif two == "\\c":
            if word == "\\cf0":
                self.FontColor = ""
                self.FontString = self.BuildFontTag(self.FontColor, self.FontSize)
            elif word.startswith("\\cf") and ParseNumber(word[3:]) is not None:
                self.Colour(ParseNumber(word[3:]))
        elif two == "\\f":
            if word.startswith("\\fs") and ParseNumber(word[3:]) is not None:
                self.FontSizeWord(ParseNumber(word[3:]))
        elif two == "\\i":
            if word == "\\i":
                self.OnUnlessOpen("</i>", "<i>")
            elif word == "\\i0":
                self.End("</i>", False)
        elif two == "\\l":
            if word == "\\line":
                self.BeforeText += "<br>" + self.LineEnd
        elif two == "\\n":
            if word == "\\nosupersub":
                self.End("</sub>", True)
                self.End("</sup>", True)
        elif two == "\\p":
            self.TranslateP(word)
        elif two == "\\q":
            if word == "\\qc":
                self.Alignment("center")
            elif word == "\\qr":
                self.Alignment("right")
        elif two == "\\s":
            self.TranslateS(word)
        elif two == "\\t":
            if word == "\\tab":
                self.PutBack(" ")
        elif two == "\\u":
            self.TranslateU(word)

    def TranslateB(self, word):
        if word == "\\b":
            self.OnUnlessOpen("</b>", "<b>")
        elif word == "\\bullet":
            self.Queue(LIST_ITEM, "<li>")
        elif word == "\\b0":
            self.End("</b>", False)

    def TranslateP(self, word):
        if word == "\\par":
            self.Par()
        elif word == "\\pard":
            self.Pard()
        elif word == "\\plain":
            self.MarkCodesKilled("*", "G")
            self.ResetFontAndAlign()
        elif word == "\\pnlvlblt":
            if not self.IsPendingCode(LIST_ITEM):
                self.Queue(LIST_ITEM, "<li>")
        elif word in ("\\pntxta", "\\pntxtb"):
            self.SkipTokens = 1
        elif word == "\\pntext":
            if not self.IsPendingCode(LIST_ITEM):
                self.Queue(LIST_ITEM, "<li>")
                self.RequeueInnerCodes("</table>")
                self.MarkCodesKilled("*", "")

    def TranslateS(self, word):
        if word == "\\strike":
            self.OnUnlessOutermost("</s>", "<s>")
        elif word == "\\strike0":
            self.End("</s>", False)
        elif word == "\\super":
            self.OnUnlessOutermost("</sup>", "<sup>")
        elif word == "\\sub":
            self.OnUnlessOutermost("</sub>", "<sub>")

    def TranslateU(self, word):
        if word == "\\ul":
            self.OnUnlessOpen("</u>", "<u>")
        elif word == "\\ulnone":
            self.End("</u>", False)
        elif word.startswith("\\uc"):
            count = ParseNumber(word[3:])
            if count is not None and 0 <= count <= INT32_MAX:
                self.UnicodeSkip = count
        elif self.IsUnicodeWord(word):
            self.UnicodeEscape(word)

    def OnUnlessOpen(self, code, opening):
        if not self.IsOpenCode(code, True):
            self.Queue(code, opening)

    def OnUnlessOutermost(self, code, opening):
        if not (self.Codes and self.Codes[-1][0] == code and self.Codes[-1][1] != ""):
            self.Queue(code, opening)

    def GroupEnd(self):
        self.MarkCodesKilled("*", "G")
        self.DropPendingBefore(LIST_ITEM)
        self.ResetFontAndAlign()

    def Colour(self, n):
        if INT32_MIN <= n <= INT32_MAX and 1 <= n <= len(self.ColorTable) - 1:
            self.FontColor = "#" + self.ColorTable[n]
        self.FontString = self.BuildFontTag(self.FontColor, self.FontSize)
        if self.IsPendingCode(FONT):
            self.ReplaceNextBegCode(FONT, self.FontString)
            return
        was_open = self.IsOpenCode(FONT, False)
        self.Queue(FONT, self.FontString)
        if was_open:
            self.MarkCodesKilled(FONT, "")

    def FontSizeWord(self, n):
        if INT32_MIN <= n <= INT32_MAX:
            self.FontSizeNum = min(max(n // 7, 1), 8)
        else:
            self.FontSizeNum = 8
        self.FontSize = str(self.FontSizeNum)
        if self.FontSizeNum == self.DefaultFontSize:
            self.FontSize = ""
        self.FontString = self.BuildFontTag(self.FontColor, self.FontSize)

    def Par(self):
        if not self.IsOpenCode(LIST_ITEM, False):
            self.BeforeText += "<br>" + self.LineEnd
        else:
            self.MarkCodesKilled(LIST_ITEM, "")
            self.RemoveNextCode(LIST_ITEM)
        self.AtLineStart = True
        self.NewParagraph = True

    def Pard(self):
        for entry in self.Codes:
            if entry[2] in ("PG", "G"):
                entry[2] = "K"
        if not self.HasLists and self.IsOpenCode(LIST_ITEM, False):
            self.MarkCodesKilled(LIST_ITEM, "")
            self.RemoveNextCode(LIST_ITEM)
        if self.pard_drops_pending_alignment:
            while self.IsPendingCode(ALIGN_TABLE):
                self.RemoveNextCode(ALIGN_TABLE)
        self.NewParagraph = True

    def Alignment(self, word):
        if self.IsPendingCode(ALIGN_TABLE):
            self.ReplaceNextBegCode(ALIGN_TABLE, self.AlignTag)
            return
        self.AlignTag = '<table width=100%><tr><td align="' + word + '">'
        self.Queue(ALIGN_TABLE, self.AlignTag)

    def HexEscape(self, word):
        e = LookupEntity(word[2:])
        if e.startswith("<rtf>:"):
            self.PutBack(e[6:] + " ")
        elif e:
            self.PutBack(e)

    # ----- Unicode escapes --------------------------------------------------

    @staticmethod
    def SplitUnicodeWord(word):
        """(value, fallback text) of "\\u" with an optional minus and 1 to 7 digits."""
        i = 3 if word.startswith("\\u-") else 2
        j = i
        while j < len(word) and j - i < 7 and word[j] in "0123456789":
            j += 1
        if j == i:
            return None
        return int(word[2:j]), word[j:]

    def IsUnicodeWord(self, word):
        return word.startswith("\\u") and self.SplitUnicodeWord(word) is not None

    def UnicodeEscape(self, word):
        value, fallback = self.SplitUnicodeWord(word)
        self.FallbackLeft = 0
        if value < 0:
            value += 65536
        text = self.UnicodeText(value) if 0 <= value <= 0xFFFF else ""
        left = self.UnicodeSkip
        i = 0
        while left > 0 and i < len(fallback):
            i += CharLength(fallback, i)
            left -= 1
        # A space the tokenizer took after text in the token is text again, and
        # counts as a fallback character before the rest of the line does.
        space = " " if fallback and self.ate_space else ""
        if left > 0 and space:
            space, left = "", left - 1
        if left > 0:
            self.SkipFallback(left)
        # The character goes back into the input with what is left of the token.
        text += fallback[i:] + space
        if text:
            self.PutBack(text)

    def UnicodeText(self, value):
        if 0xD800 <= value <= 0xDBFF:
            self.PendingHigh = value
            return ""
        if 0xDC00 <= value <= 0xDFFF:
            high, self.PendingHigh = self.PendingHigh, 0
            if not high:
                return ""
            return "&#%d;" % (0x10000 + ((high - 0xD800) << 10) + (value - 0xDC00))
        self.PendingHigh = 0
        return "&#%d;" % value if value >= 32 else ""

    def SkipFallback(self, left):
        """Skips fallback characters of the line; a control word or brace ends them."""
        line = self.rest
        while left > 0 and self.pos < len(line):
            if line.startswith("\\'", self.pos):
                self.pos += HexEscapeLength(line, self.pos)
            elif line[self.pos] in "\\{}":
                left = 0
                break
            else:
                self.pos += CharLength(line, self.pos)
            left -= 1
        self.FallbackLeft = left

    # ----- Text -------------------------------------------------------------

    def WriteTextToken(self, token):
        if token == "":
            return
        if token.strip(" ") == "":
            if self.AtLineStart:
                token = ReplaceAll(token, " ", "&nbsp;")
            self.HtmlOut += token
            return
        self.WriteText(token)

    def WriteText(self, text):
        self.ClosingText += self.CloseMarkedCodes()
        self.CommitPendingCodes()
        if self.NewParagraph:
            self.OpeningText = self.OpenPendingCodes()
            self.NewParagraph = False
        else:
            self.OpeningText = self.OpenPendingBelow(ALIGN_TABLE)
        self.PurgeKilledCodes()
        self.HtmlOut += self.ClosingText + self.BeforeText + self.OpeningText + text
        self.ClosingText = self.BeforeText = self.OpeningText = ""
        self.AtLineStart = False


def ColorComponent(group, q, length):
    """Up to three digits after a colour word, as upper-case hex of two digits or more."""
    d = group[q + length : q + length + 1]
    for k in (1, 2):
        c = group[q + length + k : q + length + k + 1]
        if c != "" and c in "0123456789":
            d += c
    value = int(d) if d.isdigit() and d.isascii() else 0
    h = "%X" % value
    return "0" + h if len(h) == 1 else h

