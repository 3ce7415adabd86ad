"""An example computer player for Pellaro, speaking the pellaro-bot protocol.

Measure it against the built-in bots with the simulator, every deal played
in every rotation of the seats:

    pellaro-sim run --bots 'exec:python3 pellaro_bot.py',greedy --games 1000 --rotate

or play against it with pellaro-solo --bot 'exec:python3 pellaro_bot.py'.
The protocol is in pellaro-bot(6). In short: the program writes
"pellaro-bot 1" and the bot answers "pellaro-bot 1 NAME"; then each line is
a request, complete in itself, and the bot answers each with one line, in
order, flushing its output after each.

    move SEED PLAYERS SEAT DRAWN LAST ROW... PILE... OUT UNSEEN
    place SEED PLAYERS SEAT DRAWN LAST ROW... PILE... OUT UNSEEN CARD

A move is answered "D" (draw) or "T ROW" (take that row); a place with the
ROW for the drawn CARD. Rows and seats count from 1.

The strategy is simple: take the row that adds most to our own score when
it adds enough, else draw; put a drawn card where it helps us most if it
helps us, else where it spoils the fewest cards.
"""

import sys

LETTERS = "RGBYPSVW+"  # the seven colours, the wild (W) and the +2 card (+)
WILD, PLUS_TWO = 7, 8
POINTS = [0, 1, 3, 6, 10, 15, 21]


def points(cards):
    return POINTS[min(cards, 6)]


def score(pile):
    """A pile's score: the three largest colours, topped up by the wilds to
    six cards each, count for; the other four against; each +2 adds two."""
    colours = sorted(pile[:7], reverse=True)
    wilds = pile[WILD]
    total = 0
    for cards in colours[:3]:
        added = min(wilds, max(0, 6 - cards))
        wilds -= added
        total += points(cards + added)
    total -= sum(points(cards) for cards in colours[3:])
    return total + 2 * pile[PLUS_TWO]


def gain(pile, cards):
    """What taking these cards adds to the pile's score."""
    after = list(pile)
    for card in cards:
        after[card] += 1
    return score(after) - score(pile)


def parse(words):
    """The fields of a request, as lists of ints where they are counts."""
    players = int(words[2])
    seat = int(words[3]) - 1
    rows = []
    for word in words[6:6 + players]:
        taken = word.startswith("*")
        cards = [LETTERS.index(c) for c in word.lstrip("*") if c != "-"]
        rows.append((taken, cards))
    piles = [[int(n) for n in word.split(",")] for word in words[6 + players:6 + 2 * players]]
    return seat, rows, piles


def move(words):
    seat, rows, piles = parse(words)
    pile = piles[seat]
    can_draw = any(not taken and len(cards) < 3 for taken, cards in rows)
    takes = [(gain(pile, cards), row) for row, (taken, cards) in enumerate(rows)
             if not taken and cards]
    if takes:
        best, row = max(takes)
        # Take a good row, a full one that is good enough, or when drawing is not possible.
        full = len(rows[row][1]) == 3
        if not can_draw or best >= 6 or (full and best >= 2):
            return "T %d" % (row + 1)
    return "D"


def place(words):
    seat, rows, piles = parse(words)
    card = LETTERS.index(words[-1])
    pile = piles[seat]
    open_rows = [row for row, (taken, cards) in enumerate(rows) if not taken and len(cards) < 3]
    # Where the card makes a row best for us, by what the row then adds.
    best = max(open_rows, key=lambda row: (gain(pile, rows[row][1] + [card]), -row))
    if gain(pile, rows[best][1] + [card]) > gain(pile, rows[best][1]):
        return str(best + 1)
    # A card that helps nobody in particular goes where we would not take anyway.
    worst = min(open_rows, key=lambda row: (gain(pile, rows[row][1]), row))
    return str(worst + 1)


def main():
    greeting = sys.stdin.readline().split()
    if greeting[:2] != ["pellaro-bot", "1"]:
        sys.exit("pellaro_bot.py: speaks pellaro-bot 1 only")
    print("pellaro-bot 1 example", flush=True)
    for line in sys.stdin:
        words = line.split()
        print(move(words) if words[0] == "move" else place(words), flush=True)


if __name__ == "__main__":
    main()
