#!/usr/bin/env python3
"""Writes samples/sample-book.rtf, Quillet's bundled sample book.

The text is our own: a small almanac kept by an imaginary lighthouse keeper,
in Spanish and English, put together from sentences written for this sample.
It carries what a pasted e-book carries: headings, bold, italic, colours, a
bulleted list, accented letters and curly quotes. Deterministic: the same
script always writes the same bytes.

Usage: scripts/make_sample_book.py [OUTPUT] [--chapters N]
"""
import argparse
import pathlib
import random

TITLE = "El almanaque del farero / The Lighthouse Keeper\u2019s Almanac"

PLACES = ["Punta Gris", "la isla de Sal", "Cabo Mar\u00eda", "el Faro Viejo", "Bah\u00eda Quieta",
          "la caleta de los Ni\u00f1os", "Pe\u00f1a Alta", "el muelle de Le\u00f3n"]
PEOPLE = ["Ant\u00f3n", "In\u00e9s", "Mat\u00edas", "Bego\u00f1a", "Ram\u00f3n", "Luc\u00eda",
          "Jos\u00e9", "\u00c1ngela"]
THINGS = ["la l\u00e1mpara", "el cuaderno", "la br\u00fajula", "el reloj de bolsillo",
          "la red remendada", "el farol azul", "la caja de t\u00e9", "el catalejo"]
WEATHER = ["niebla espesa", "viento del norte", "lluvia fina", "calma chicha",
           "marejada", "cielo limpio", "tormenta el\u00e9ctrica", "brisa tibia"]
THINGS_EN = ["the lamp", "the notebook", "the compass", "the pocket watch", "the mended net",
             "the blue lantern", "the tea tin", "the spyglass"]
WEATHER_EN = ["thick fog", "north wind", "fine rain", "dead calm", "heavy swell", "clear sky",
              "thunder and lightning", "warm breeze"]

SPANISH = [
    "{person} subi\u00f3 los ciento doce pelda\u00f1os antes del alba y encontr\u00f3 {thing} "
    "donde nadie la hab\u00eda dejado.",
    "Aquella noche hubo {weather} sobre {place}, y el haz de luz gir\u00f3 sin descanso "
    "hasta la ma\u00f1ana.",
    "\u201c\u00bfQui\u00e9n anota las mareas cuando el farero duerme?\u201d, pregunt\u00f3 "
    "{person} con una sonrisa.",
    "En el cuaderno se lee: \u201c{weather}, tres barcos, un albatros y ninguna queja\u201d.",
    "Desde {place} se ve\u00eda el horizonte partido en dos por una franja de plata.",
    "{person} guard\u00f3 {thing} en el caj\u00f3n de abajo, junto a las cartas que nunca "
    "envi\u00f3.",
    "El aceite de la l\u00e1mpara ol\u00eda a resina y a sal, como todos los inviernos.",
    "Nadie en {place} recordaba un a\u00f1o de {weather} como aquel.",
]
ENGLISH = [
    "{person} climbed the hundred and twelve steps before dawn and found {thing} where "
    "nobody had left it.",
    "That night there was {weather} over {place}, and the beam turned without rest until "
    "morning.",
    "\u201cWho writes down the tides while the keeper sleeps?\u201d {person} asked with a "
    "smile.",
    "The logbook reads: \u2018{weather}, three boats, one albatross and no complaints.\u2019",
    "From {place} the horizon looked cut in two by a strip of silver.",
    "{person} put {thing} away in the bottom drawer, next to the letters never sent.",
    "The lamp oil smelled of resin and salt, as it did every winter.",
    "Nobody at {place} remembered a year with so much {weather} as that one.",
]
LIST_ITEMS = [
    "limpiar los cristales de la linterna / clean the lantern glass",
    "dar cuerda al mecanismo de rotaci\u00f3n / wind the rotation clockwork",
    "anotar el viento y la presi\u00f3n / log the wind and the pressure",
    "revisar la reserva de aceite / check the oil reserve",
]
# Colour table entries 1 to 3: deep blue, dark red, sea green.
COLORS = "{\\colortbl;\\red0\\green51\\blue153;\\red153\\green0\\blue0;\\red0\\green128\\blue96;}"


def rtf_text(text):
    """Escapes text for RTF: code page 1252 as hexadecimal escapes, the rest as \\u."""
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif 32 <= code < 127:
            out.append(ch)
        else:
            try:
                byte = ch.encode("cp1252")[0]
                out.append("\\'%02x" % byte)
            except UnicodeEncodeError:
                out.append("\\u%d?" % (code if code < 32768 else code - 65536))
    return "".join(out)


def sentence(rng, templates):
    things, weather = (THINGS, WEATHER) if templates is SPANISH else (THINGS_EN, WEATHER_EN)
    return rng.choice(templates).format(person=rng.choice(PEOPLE), place=rng.choice(PLACES),
                                        thing=rng.choice(things), weather=rng.choice(weather))


def paragraph(rng):
    """One paragraph of four to seven sentences, with a bold, an italic or a coloured phrase."""
    parts = []
    for _ in range(rng.randint(4, 7)):
        text = rtf_text(sentence(rng, rng.choice([SPANISH, ENGLISH])))
        style = rng.randint(0, 5)
        if style == 0:
            text = "{\\b " + text + "}"
        elif style == 1:
            text = "{\\i " + text + "}"
        elif style == 2:
            text = "{\\cf%d " % rng.randint(1, 3) + text + "}"
        parts.append(text)
    return "\\pard\\sa120 " + " ".join(parts) + "\\par\n"


def heading(number):
    text = rtf_text("Cap\u00edtulo %d / Chapter %d" % (number, number))
    return "\\pard\\qc\\sb240\\sa120{\\b\\fs36\\cf1 " + text + "}\\par\n"


def bullet_list():
    items = []
    for item in LIST_ITEMS:
        items.append("{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}"
                     "\\pard\\fi-200\\li200 " + rtf_text(item) + "\\par\n")
    return "".join(items)


def book(chapters):
    rng = random.Random(1957)
    out = ["{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
           "{\\f1\\fnil\\fcharset2 Symbol;}}\n", COLORS, "\n\\viewkind4\\uc1\\f0\\fs24\n",
           "\\pard\\qc{\\b\\fs48 " + rtf_text(TITLE) + "}\\par\n",
           "\\pard\\qr{\\i " + rtf_text("Un libro de muestra de Quillet / A Quillet sample book")
           + "}\\par\n"]
    for number in range(1, chapters + 1):
        out.append(heading(number))
        for _ in range(rng.randint(6, 10)):
            out.append(paragraph(rng))
        if number % 5 == 1:
            out.append("\\pard " + rtf_text("Tareas de cada noche / Nightly duties:") + "\\par\n")
            out.append(bullet_list())
    out.append("\\pard\\qc{\\i\\cf3 " + rtf_text("\u2014 Fin / The End \u2014") + "}\\par\n}")
    return "".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    root = pathlib.Path(__file__).resolve().parent.parent
    parser.add_argument("output", nargs="?", default=str(root / "samples" / "sample-book.rtf"))
    parser.add_argument("--chapters", type=int, default=60)
    args = parser.parse_args()
    data = book(args.chapters).replace("\n", "\r\n").encode("ascii")
    pathlib.Path(args.output).write_bytes(data)
    print("%s: %d bytes" % (args.output, len(data)))


if __name__ == "__main__":
    main()
