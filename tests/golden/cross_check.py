#!/usr/bin/env python3
"""Replays each golden session's answers on a separate model of the game,
written from its rules and texts, and compares what the model prints with
NAME.out byte for byte. It shares no code with the game: a difference means
that either the game or this model is wrong, and the .out must be read again.

    tests/golden/cross_check.py            checks every session of sessions.txt
"""

import ctypes
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
LIBC = ctypes.CDLL("libc.so.6")
LABELS = ["R", "G", "B", "Y", "P", "S", "V", "W", "+2"]
TABLE = [0, 1, 3, 6, 10, 15, 21, 21, 21, 21]
WHITE = b" \t\n\v\f\r"

RULES = [
    [
        "Pellaro is a card collecting game for 2-5 players.  There are 76 colored cards in the deck.  ",
        "There are 7 colors: (R)ed, (G)reen, (B)lue, (Y)ellow, (P)ink, (S)ilver, (V)iolet ",
        "with 9 cards of each color in the deck.  There are also 3 wilds and 8 cards worth +2 points.  ",
        "The goal is to have the highest score at the end by collecting as many as you can of any three colors, ",
        "but beware, any other colored cards you collect count negatively.  Wilds can count as any color and you ",
        "do not have to specify the color until the end of the game.",
    ],
    [
        "The game is played in rounds.  Cards are drawn one at a time from a face down deck and played in rows on the board by the players.  ",
        "Each round a player may take *one* row into his score pile; after he or she does this, they are completely out of the round.  ",
        "After every player has taken a row, the next round begins and everyone gets to play again.  ",
        "Thus there are as many rows as players in each round.  ",
        "Player proceeds clockwise from whichever player is chosen to go first in the first round.  In subsequent rounds, ",
        "the player to the left of the last player to take a row goes first.  On a player's turn, he may either 1)Draw the top card ",
        "of the deck AND place it on any one of the non-full rows on the board (rows may only hold up to 3 cards) OR 2)Take one ",
        "nonempty row from the board into his score pile (and he is then out for the rest of the round).  It is then the next player's turn.  ",
        "Play continues in this way until the round is over.  By now, every player has taken a row, so the board is clear and the next round starts immediately.  ",
    ],
    [
        "Clearly, when playing cards, a player should take into account the colors each of the other players appear to be collecting.  He or she does not want ",
        "to build a row that is ideal to another player.  The cards players collect in their score piles are public and must be visible at all times.  A player ",
        "does not have to declare what colors they are collecting until the end of the game and thus may change their mind at any time.  ",
        "Cards can NEVER be removed from a score pile, however, so take rows with caution.  ",
        "Wilds are very valuable as they can be added to any color's stack in your score pile at the end of the game.  The +2 points cards are ",
        "simply added to your score at the end of the game.  The game is over when the last round is over.  You know you are on the last round when ",
        "there are no longer enough cards to guarantee that another round can be completed after the current one (i.e. there are not at least 3 * numberOfPlayers cards left in the deck.  ",
        "The game will announce when the current round is definitely the last round.  ",
    ],
    [
        "After the end of the last round, each player declares which three colors he or she would like scored positively, without fail these are the colors with the most cards.  ",
        "Each of these three *colors* is scored according to the chart below.  Notice that it is not linear; specialization is good.  Now, the other four colors for each player are also scored according to the chart ",
        "but negatively!  Wilds are added to the positive scoring color of your choice before you score it.  Note that you get no bonus for having more than 6 of any one color.  ",
        "Each +2 points card simply adds two points to your score at the end.  Now, the player with the highest score wins!  ",
    ],
]
CHART = ["Scoring Table", "# of cards \tScore", "1       \t1", "2       \t3", "3       \t6",
         "4       \t10", "5       \t15", "6-9     \t21"]


class InputEnded(Exception):
    pass


class Console:
    def __init__(self, data):
        self.data = data
        self.pos = 0
        self.word_line_unread = False
        self.out = []

    def write(self, text):
        self.out.append(text)

    def word(self):
        while self.pos < len(self.data) and self.data[self.pos] in WHITE:
            self.pos += 1
        if self.pos == len(self.data):
            raise InputEnded
        first = chr(self.data[self.pos])
        while self.pos < len(self.data) and self.data[self.pos] not in WHITE:
            self.pos += 1
        self.word_line_unread = True
        return first

    def discard(self):
        if not self.word_line_unread:
            return
        self.word_line_unread = False
        end = self.data.find(b"\n", self.pos)
        self.pos = len(self.data) if end < 0 else end + 1

    def line(self):
        if self.pos == len(self.data):
            raise InputEnded
        end = self.data.find(b"\n", self.pos)
        text = self.data[self.pos:] if end < 0 else self.data[self.pos:end]
        self.pos = len(self.data) if end < 0 else end + 1
        self.word_line_unread = False
        return text[:999]

    def number(self):
        text = self.line()
        i = 0
        while i < len(text) and text[i] in WHITE:
            i += 1
        sign = 1
        if i < len(text) and text[i] in b"+-":
            sign = -1 if text[i] == ord("-") else 1
            i += 1
        value = 0
        while i < len(text) and ord("0") <= text[i] <= ord("9"):
            value = value * 10 + text[i] - ord("0")
            i += 1
        return max(-(2**31), min(2**31 - 1, sign * value))


def deck_for(seconds):
    deck = [i // 9 for i in range(63)] + [7] * 3 + [8] * 10
    LIBC.srand(ctypes.c_uint(seconds))
    for j in range(75):
        k = j + LIBC.rand() % (76 - j)
        deck[j], deck[k] = deck[k], deck[j]
    return deck


def score(counts):
    colours = sorted(counts[:7])
    for _ in range(counts[7]):
        for position in (6, 5, 4):
            if colours[position] < 6:
                colours[position] += 1
                break
    return (sum(TABLE[c] for c in colours[4:]) - sum(TABLE[c] for c in colours[:4])
            + 2 * counts[8])


def pause(con, text):
    con.write(text)
    con.discard()
    con.line()
    con.write("\n")


def offer_rules(con):
    con.write("Would you like to hear the rules? (Y/N) ")
    if con.word() in "nN":
        return
    for block, ending in zip(RULES[:3], ["continue", "continue", "continue"]):
        con.write("".join(block) + "\n")
        pause(con, "Press enter to %s; " % ending)
    con.write("Scoring!: \n" + "".join(RULES[3]) + "\n")
    con.write("".join(line + "\n" for line in CHART) + "\n")
    pause(con, "Press enter to play; ")


def ask_count(con):
    con.write("Enter number of players (2-5): ")
    con.discard()
    while True:
        count = con.number()
        if 2 <= count <= 5:
            return count
        con.write("Please enter the number of players (2-5): ")


def show_board(con, n, rows, players, last):
    con.write("\n" * 4 + ("LAST ROUND!!\n" if last else "") + "Current board\n")
    for r, row in enumerate(rows):
        cards = "Taken" if row["taken"] else "".join(LABELS[c] + " " for c in row["cards"])
        con.write("Row #%d| %s\n" % (r + 1, cards))
    con.write("\nThe players' hands\n")
    for p, player in enumerate(players):
        counts = "".join("%s:%d " % (LABELS[k], player["counts"][k]) for k in range(9))
        con.write("Player #%d|  %sTaken? %s\n" % (p + 1, counts, "Y" if player["out"] else "N"))


def play_game(con, seconds):
    offer_rules(con)
    n = ask_count(con)
    deck = deck_for(seconds)
    drawn = 0
    rows = [{"taken": False, "cards": []} for _ in range(n)]
    players = [{"out": False, "counts": [0] * 9} for _ in range(n)]
    current = 0

    def last_round():
        return 75 - drawn <= 3 * n

    def possible(take):
        return any(not row["taken"] and (row["cards"] if take else len(row["cards"]) < 3)
                   for row in rows)

    def valid(take, r):
        if r < 0 or r >= n or rows[r]["taken"]:
            return False
        return bool(rows[r]["cards"]) if take else len(rows[r]["cards"]) < 3

    def ask_action():
        con.write("\n" + ("LAST ROUND!!\n" if last_round() else ""))
        con.write("It is player #%d's turn: " % (current + 1))
        while True:
            con.write("(D)raw a card or (T)ake a row? ")
            answer = con.word()
            if answer in "dDtT":
                return answer in "tT"
            con.write("Invalid action!\n")

    def ask_row(take):
        if take:
            con.write("Please enter the row to take: ")
        else:
            con.write("\nThe card drawn is %s\nPlease enter the row to place it on: "
                      % LABELS[deck[drawn]])
        con.discard()
        return max(-(2**31), con.number() - 1)

    def invalid():
        con.write("Invalid Move!!!\n")
        con.discard()

    while True:
        show_board(con, n, rows, players, last_round())
        take = ask_action()
        while not possible(take):
            invalid()
            take = ask_action()
        r = ask_row(take)
        while not valid(take, r):
            invalid()
            r = ask_row(take)
        if take:
            for card in rows[r]["cards"]:
                players[current]["counts"][card] += 1
            rows[r]["taken"] = True
            players[current]["out"] = True
        else:
            rows[r]["cards"].append(deck[drawn])
            drawn += 1
        if last_round() and all(p["out"] for p in players):
            break
        for step in range(1, n + 1):
            if not players[(current + step) % n]["out"]:
                current = (current + step) % n
                break
        else:
            current = (current + 1) % n
            for player in players:
                player["out"] = False
            for row in rows:
                row["taken"] = False
                row["cards"] = []

    scores = [score(p["counts"]) for p in players]
    top = max(scores)
    best = [p + 1 for p, s in enumerate(scores) if s == top]
    con.write("\nScores\n" + "".join("Player %d scored %d\n" % (p + 1, s)
                                     for p, s in enumerate(scores)))
    if len(best) == 1:
        con.write("\nThe winner is Player %d with a score of %d!\n" % (best[0], top))
    else:
        names = " and ".join("Player %d" % b for b in best)
        con.write("\nThe winners are %s with a score of %d!\n" % (names, top))
    con.write("\nWould you like to play a new game? (Y/N) ")
    return con.word() in "yY"


def session_output(data, seconds):
    con = Console(data)
    try:
        while play_game(con, seconds):
            pass
    except InputEnded:
        pass
    return "".join(con.out).encode()


def main():
    failed = 0
    for entry in (HERE / "sessions.txt").read_text().split("\n"):
        if not entry:
            continue
        name, seconds = entry.split()
        expected = session_output((HERE / (name + ".in")).read_bytes(), int(seconds))
        recorded = (HERE / (name + ".out")).read_bytes()
        if expected == recorded:
            print("same: %s" % name)
            continue
        failed += 1
        at = next((i for i, (a, b) in enumerate(zip(expected, recorded)) if a != b),
                  min(len(expected), len(recorded)))
        print("DIFFERENT: %s at byte %d:\n model:    %r\n recorded: %r"
              % (name, at, expected[at - 80:at + 80], recorded[at - 80:at + 80]))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
