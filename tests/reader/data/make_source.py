#!/usr/bin/env python3
"""Writes the source text of the reader-mode book fixtures as Markdown.

A novel-length text of our own, made from a fixed seed: chapters with
headings, narration with emphasis, dialogue with typographic quotes and
ellipses, accented words, short lists. Run: make_source.py > tide_clock.md
"""
import random

WORDS = (
    "the keeper of the tide clock wound its brass key every morning before the "
    "fishing boats left harbour and wrote the height of the water in a narrow "
    "book whose pages smelled of salt lamp oil and old rope nobody in the "
    "village remembered who had built the clock or why it ran seven minutes "
    "slow in winter").split()
ACCENTED = ["María", "Tomás", "Lucía", "Ángel", "café", "canción", "niño", "mañana",
            "corazón", "después", "está", "también", "Zoë", "naïve", "Ærø"]
NAMES = ["María", "Tomás", "Lucía", "the harbour master", "old Ángel", "the ferryman"]


def sentence(rng, words):
    chosen = [rng.choice(WORDS) for _ in range(words)]
    if rng.random() < 0.3:
        chosen[rng.randrange(len(chosen))] = rng.choice(ACCENTED)
    if rng.random() < 0.25:
        i = rng.randrange(len(chosen))
        chosen[i] = "*" + chosen[i] + "*"
    if rng.random() < 0.15:
        i = rng.randrange(len(chosen))
        chosen[i] = "**" + chosen[i] + "**"
    text = " ".join(chosen)
    end = rng.choice([".", ".", ".", "!", "?", "…"])
    return text[0].upper() + text[1:] + end


def paragraph(rng):
    if rng.random() < 0.2:
        said = sentence(rng, rng.randint(5, 14))
        return "“" + said + "” said " + rng.choice(NAMES) + "."
    return " ".join(sentence(rng, rng.randint(6, 22)) for _ in range(rng.randint(2, 9)))


def main():
    rng = random.Random(20261207)
    print("% The Tide Clock\n")
    for chapter in range(1, 61):
        print(f"# Chapter {chapter}\n")
        for _ in range(rng.randint(8, 16)):
            print(paragraph(rng) + "\n")
            if rng.random() < 0.05:
                for _ in range(rng.randint(2, 4)):
                    print("- " + sentence(rng, rng.randint(3, 8)))
                print()


main()
