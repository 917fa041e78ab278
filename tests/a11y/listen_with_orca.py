#!/usr/bin/env python3
"""Plays a whole game of zorban by keys with the real Orca screen reader listening.

The game runs under Xvfb on a private session bus with at-spi2-core; Orca runs
with a debug file, whose "SPEECH OUTPUT:" lines are everything it says (no
speech server or sound card is needed: its speech server is silent_speech.py beside
this script, which never speaks nor waits). The player here presses keys only when
Orca has said what it waits for, and learns the game from Orca's words alone:
the choice of the own case, every opening and the cases left before the offer,
every offer (one deal is made, and the offers after it must still be said),
each answer, the own case and the winnings. F2 must repeat the last news and F3
list the amounts in play, M say that the sound is on, F6 read the board item by
item, each within a few seconds; "Новая игра" starts the next game in the same
window without flooding Orca with events. After each game the menu must say its
first entry as it opens; the statistics window is read with Tab (each figure
with its caption, the chart by a summary that agrees with the game heard) and
the credits say their entries, each once. At the end what was heard is
compared with log.txt, and every amount Orca passed to the voice is checked to
sound as the number with espeak-ng (Debian's default voice): its phonemes
(espeak-ng -q -x) must be those of the number written as plain digits.

usage: listen_with_orca.py --game build/zorban [--lang ru] [--lang en]
Exit code 77 (skipped) when orca, espeak-ng, xdotool, Xvfb, dbus-run-session or
at-spi2-core is missing; a failure instead where ZORBAN_REQUIRE_SCREEN_READER_TESTS=1
(CI sets it).
"""

import argparse
import fcntl
import json
import os
import re
import shutil
import subprocess
import sys
import pty
import tempfile
import termios
import threading
import time

import private_session  # beside this script

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
INNER = "ZORBAN_ORCA_INNER"
SAID_WITHIN = 60.0  # the longest wait between a key and its news (the sounds)
ANSWERED_WITHIN = 5.0  # a key asking for a fact

# What Orca says, by language: (pattern of one sentence of the news, ...).
WORDS = {
    "ru": {
        "window": "? ЗОРБАН !",
        "start": "Начать игру",
        "choose": "Выберите свой чемодан.",
        "own": r"Ваш чемодан (\d+)\.",
        "opened": r"Чемодан (\d+): ([^.]+?)\.",
        "counter": r"(\d+) чемодан\w* до предложения банка\.",
        "last": r"Остался один чемодан, кроме вашего: (\d+)\.",
        "own_next": r"Теперь откроется ваш чемодан (\d+)\.",
        "offer": r"Банк предлагает ([^.]+?)\.",
        "exchange": "Банк предлагает обмен.",
        "no_answer": "Отвечать не нужно.",
        "sold": r"Вы продали свой чемодан за ([^.]+?)\.",
        "declined": "Без сделки, играем дальше.",
        "kept": "Без обмена, играем дальше.",
        "own_opened": r"Ваш чемодан (\d+): ([^.]+?)\.",
        "winnings": r"Выигрыш: ([^.]+?)\.",
        "in_play": r"Суммы в игре: (.+)\.",
        "sound_on": "Звук включён.",
        "board_item": r"^(.+?)(, выбыла)?\.$",
        "board_in_play": r"^в игре\.$",
        "million": r"^(\d+) миллион\w*(?: (\d+))?$",
        "fractions": {"одна сотая": "0.01", "одна десятая": "0.1"},
        "menu_first": "Новая игра",
        "statistics": "Статистика",
        "credits": "Об авторах",
        "games_played": "Сыграно игр: 1",
        "total": r"^Выиграно всего: ([^.]+?)\.? label",
        "chart_name": r"^График последней игры\.?$",
        "chart": r"^Последняя игра, предложений банка: (\d+);.* Принято предложение ([^.]+?)\.",
        "credit_entries": (r"Разработчик: Команда «Зорбан»", r"Сделано на: Qt 6"),
        "rules": ("Правила dialog.", "Нажмите «Начать игру»|спрятаны в 22|чемоданах и видны"),
    },
    "en": {
        "window": "? ZORBAN !",
        "start": "Start game",
        "choose": "Choose your case.",
        "own": r"Your case (\d+)\.",
        "opened": r"Case (\d+): ([^ ]+?)\.(?: |$)",
        "counter": r"(\d+) cases? left before the bank.s offer\.",
        "last": r"One case left besides yours: (\d+)\.",
        "own_next": r"Your case (\d+) opens now\.",
        "offer": r"The bank offers (a swap|[^ ]+?)\.(?: |$)",
        "exchange": "The bank offers a swap.",
        "no_answer": "Nothing to answer.",
        "sold": r"You sold your case for ([^ ]+?)\.(?: |$)",
        "declined": "No deal, play on.",
        "kept": "No swap, play on.",
        "own_opened": r"Your case (\d+) held ([^ ]+?)\.(?: |$)",
        "winnings": r"You win ([^ ]+?)\.(?: |$)",
        "in_play": r"Amounts in play: (.+)\.",
        "sound_on": "Sound on.",
        "board_item": r"^(.+?)(, out of play)?\.$",
        "board_in_play": r"^in play\.$",
        "million": None,
        "fractions": {},
        "menu_first": "New game",
        "statistics": "Statistics",
        "credits": "Credits",
        "games_played": "Games played: 1",
        "total": r"^Total winnings: ([^ ]+?)\.? label",
        "chart_name": r"^Chart of the last game\.?$",
        "chart": r"^Last game, bank offers: (\d+);.* Offer accepted: ([^ ]+?)\.",
        "credit_entries": (r"Developer: The Zorban team", r"Made with: Qt 6"),
        "rules": ("Rules dialog.", "Press “Start game”|Twenty-two|briefcases hide|on the board"),
    },
}


class Failure(Exception):
    pass


def outer(argv):
    tools = ("dbus-run-session", "Xvfb", "orca", "espeak-ng", "xdotool")
    missing = [tool for tool in tools if not shutil.which(tool)]
    if not os.access(BUS_LAUNCHER, os.X_OK):
        missing.append("at-spi2-core")
    if missing:
        return private_session.skip("the Orca test needs " + ", ".join(missing)
                                    + " (./zorban.sh installs them)")
    # Orca, started with --replace, kills every other Orca of the user, those of
    # other sessions too: one run at a time on the machine.
    with open(os.path.join(tempfile.gettempdir(), "zorban-orca-%d.lock" % os.getuid()), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        return private_session.run_inside(__file__, argv, INNER)


class Listener:
    """Orca's utterances as they come. Orca writes its debug output through
    Python's buffered files: given a terminal, it writes each line at once, so
    it writes to a pseudo-terminal read here all the time (a full one would stop
    Orca)."""

    def __init__(self, copy_to=None):
        self.master, slave = pty.openpty()
        attributes = termios.tcgetattr(slave)
        attributes[3] &= ~termios.ECHO
        termios.tcsetattr(slave, termios.TCSANOW, attributes)
        self.path = os.ttyname(slave)
        self.slave = slave  # kept open: the terminal lives while it is
        self.copy = open(copy_to, "wb") if copy_to else None
        self.lock = threading.Lock()
        self.text = b""
        self.said = []   # every utterance so far
        self.heard = 0   # how many of them the player has taken in
        self.started = False
        self.deluges = 0  # times Orca dropped events for their number
        threading.Thread(target=self.read, daemon=True).start()

    def read(self):
        while True:
            try:
                data = os.read(self.master, 65536)
            except OSError:
                return
            if not data:
                return
            if self.copy:
                self.copy.write(data)
            with self.lock:
                self.text += data.replace(b"\r", b"")
                *lines, self.text = self.text.split(b"\n")
                for line in lines:
                    if b"registering listener for: window:destroy" in line:
                        self.started = True
                    if b"DELUGE" in line:
                        self.deluges += 1
                    match = re.search(r"SPEECH OUTPUT: '(.*)'(?: voice=\w+)?(?:\{.*\})?\s*$",
                                      line.decode("utf-8", "replace"))
                    if match:
                        self.said.append(match.group(1))

    def poll(self):
        pass

    def wait_for(self, pattern, within=SAID_WITHIN, what=None):
        """The first utterance not yet taken in that matches pattern (a regular
        expression); what came before it is taken in too."""
        deadline = time.monotonic() + within
        regex = re.compile(pattern)
        while True:
            self.poll()
            for i in range(self.heard, len(self.said)):
                match = regex.search(self.said[i])
                if match:
                    self.heard = i + 1
                    return self.said[i], match
            if time.monotonic() > deadline:
                raise Failure("Orca did not say %s within %.0f s; it said last: %r"
                              % (what or repr(pattern), within, self.said[-8:]))
            time.sleep(0.05)


def news(words, key):
    # A notification: Orca says its role, then its text.
    return r"(?i:notification|уведомление) .*" + (words[key] if words[key].startswith("(") or "\\" in words[key]
                                                  else re.escape(words[key]))


def key(name):
    subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)


class Player:
    def __init__(self, language, listener, log_path, window):
        self.window = window
        self.w = WORDS[language]
        self.language = language
        self.ear = listener
        self.log_path = log_path
        self.opened = []     # amounts heard opened, in order
        self.offers = []     # money offers heard, or "ОБМЕН"
        self.answers = []    # (offer index, accepted)
        self.own_amount = None
        self.winnings = None
        self.amounts = set()  # every amount as Orca passed it to the voice
        self.counters = 0

    def hear(self, key_name, what):
        return self.ear.wait_for(news(self.w, key_name), what=what)

    def spoken(self, text):
        self.amounts.add(text)
        return text

    def play(self):
        w = self.w
        # Orca has the window (the start button may have the focus before).
        # Qt's bridge may be still connecting as the window is first activated:
        # then the window is activated again.
        for attempt in range(3):
            try:
                self.ear.wait_for(re.escape(w["window"]), within=10, what="the window")
                break
            except Failure:
                if attempt == 2:
                    raise
                for command in ("windowunmap", "windowmap", "windowfocus"):
                    subprocess.run(["xdotool", command, "--sync", self.window], check=False)
        key("Return")
        self.hear("choose", "the prompt to choose a case")
        key("space")
        said, _ = self.hear("own", "the own case")
        self.check_counter(said)
        dealt = False
        while True:
            key("space")
            said, match = self.ear.wait_for(news(w, "opened") + "|" + news(w, "own_opened"),
                                            what="an opening")
            opened = re.search(w["opened"], said)
            own_opened = re.search(w["own_opened"], said)
            if own_opened and (not opened or own_opened.start() <= opened.start()):
                raise Failure("the own case opened unasked: %r" % said)
            self.opened.append(self.spoken(opened.group(2)))
            if len(self.opened) == 3:
                self.ask_facts()
            if re.search(w["counter"], said):
                self.check_counter(said)
                continue
            if re.search(w["last"], said):
                continue
            if re.search(w["own_next"], said):
                break
            # An offer comes.
            said, match = self.ear.wait_for(news(w, "offer"), what="an offer")
            if w["exchange"] in said:
                self.offers.append("ОБМЕН")
                key("n")
                self.answers.append((len(self.offers) - 1, False))
                self.hear("kept", "the exchange declined")
            else:
                self.offers.append(self.spoken(match.group(1)))
                if dealt:
                    if w["no_answer"] not in said:
                        raise Failure("an offer after the deal asked for an answer: %r" % said)
                elif len(self.offers) >= 2:
                    key("y")
                    dealt = True
                    self.answers.append((len(self.offers) - 1, True))
                    said, match = self.hear("sold", "the deal confirmed")
                    if self.spoken(match.group(1)) != self.offers[-1]:
                        raise Failure("sold for %r, offered %r" % (match.group(1), self.offers[-1]))
                else:
                    key("n")
                    self.answers.append((len(self.offers) - 1, False))
                    self.hear("declined", "the offer declined")
        said, match = self.hear("own_opened", "the own case opened")
        self.own_amount = self.spoken(match.group(2))
        said, match = self.hear("winnings", "the winnings")
        self.winnings = self.spoken(match.group(1))
        self.compare_with_log()
        # The next game in the same window, without a flood of events.
        key("Return")
        self.ear.wait_for(re.escape(w["start"]), what="the start of the next game")
        if self.ear.deluges:
            raise Failure("Orca dropped events for their number %d times" % self.ear.deluges)

    def visit_side_windows(self):
        """The menu, the statistics window, the credits and the rules, by keys alone."""
        w = self.w
        started = time.monotonic()
        key("Menu")
        self.ear.wait_for("^%s\\.?$" % re.escape(w["menu_first"]), within=ANSWERED_WITHIN,
                          what="the menu's first entry as it opens")
        self.choose_in_menu(w["statistics"])
        self.ear.wait_for("^%s" % re.escape(w["games_played"]), within=ANSWERED_WITHIN,
                          what="the first figure as the statistics open")
        key("Tab")
        key("Tab")
        said, match = self.ear.wait_for(w["total"], within=ANSWERED_WITHIN,
                                        what="the winnings among the figures")
        if self.value(self.spoken(match.group(1))) != self.value(self.winnings):
            raise Failure("the statistics say %r, the game said winnings %r"
                          % (said, self.winnings))
        # On through the figures to the chart: its name, then its summary.
        for _ in range(12):
            key("Tab")
            said, _ = self.ear.wait_for(".", within=ANSWERED_WITHIN, what="the next figure")
            if re.match(w["chart_name"], said):
                said, _ = self.ear.wait_for(".", within=ANSWERED_WITHIN, what="the chart's summary")
            match = re.search(w["chart"], said)
            if match:
                break
        else:
            raise Failure("Tab never reached the chart's summary")
        money_offers = [o for o in self.offers if o != "ОБМЕН"]
        if int(match.group(1)) != len(money_offers) or \
                self.value(self.spoken(match.group(2))) != self.value(self.winnings_offer()):
            raise Failure("the chart's summary %r disagrees with the offers heard %r"
                          % (said, self.offers))
        key("Escape")
        key("Menu")
        self.ear.wait_for("^%s\\.?$" % re.escape(w["menu_first"]), within=ANSWERED_WITHIN,
                          what="the menu's first entry as it opens again")
        self.choose_in_menu(w["credits"])
        first, second = w["credit_entries"]
        self.ear.wait_for(r"(?i:notification|уведомление) " + first, within=10,
                          what="the credits' first entry")
        self.ear.wait_for(r"(?i:notification|уведомление) " + second, within=10,
                          what="the credits' second entry")
        if sum(1 for said in self.ear.said if re.search(first, said)) != 1:
            raise Failure("the credits' first entry was said more than once")
        key("Escape")
        # Back in the game window (a key pressed before goes to the credits).
        self.ear.wait_for("^" + re.escape(w["start"]) + " push button", within=ANSWERED_WITHIN,
                          what="the game window after the credits")
        # The rules are read line by line with the arrows.
        title, first_line = w["rules"]
        for attempt in range(2):
            key("F1")
            try:
                self.ear.wait_for("^" + re.escape(title), within=ANSWERED_WITHIN,
                                  what="the rules opening")
                break
            except Failure:
                if attempt == 1:
                    raise
        # The text takes the keys a moment after the dialog is said.
        for attempt in range(3):
            key("Down")
            try:
                self.ear.wait_for(first_line, within=2, what="the rules' first lines after Down")
                break
            except Failure:
                if attempt == 2:
                    raise
        key("Escape")
        print("menu, statistics, credits and rules heard in %.1f s"
              % (time.monotonic() - started))

    def choose_in_menu(self, entry):
        """Down through the open menu until Orca says entry, then Return."""
        for _ in range(12):
            key("Down")
            said, _ = self.ear.wait_for(".", within=ANSWERED_WITHIN, what="a menu entry")
            if re.match("^%s\\.?$" % re.escape(entry), said):
                key("Return")
                return
        raise Failure("the menu has no entry %r that Orca says" % entry)

    def winnings_offer(self):
        """The offer accepted, as heard."""
        return self.offers[[i for i, yes in self.answers if yes][0]]

    def check_counter(self, said):
        if not re.search(self.w["counter"], said):
            raise Failure("no count of the cases before the offer in %r" % said)
        self.counters += 1

    def ask_facts(self):
        """F2 repeats the last news, F3 lists the amounts in play, M says the
        sound is on, F6 reads the board item by item."""
        last = self.ear.said[self.ear.heard - 1]
        board = []
        started = time.monotonic()
        key("F2")
        self.ear.wait_for(re.escape(last), within=ANSWERED_WITHIN, what="the news again after F2")
        key("F3")
        said, match = self.ear.wait_for(news(self.w, "in_play"), within=ANSWERED_WITHIN,
                                        what="the amounts in play after F3")
        in_play = [self.spoken(a) for a in match.group(1).split(", ")]
        if len(in_play) != 22 - len(self.opened):
            raise Failure("F3 lists %d amounts after %d openings: %r"
                          % (len(in_play), len(self.opened), said))
        values = [self.value(a) for a in in_play]
        if values != sorted(values) or any(self.value(a) in values for a in self.opened):
            raise Failure("F3 is not the amounts in play, low to high: %r" % said)
        # The game runs muted: M turns the sound on, and says so.
        key("m")
        self.ear.wait_for(news(self.w, "sound_on"), within=ANSWERED_WITHIN, what="the sound on after M")
        # F6 reads the board from its lowest amount, Down the next; each says
        # whether it is still in play. Esc brings the keys back to the cases.
        for press in ("F6", "Down"):
            key(press)
            if press == "F6":
                self.ear.wait_for(r"^List with 22 items\.$", within=ANSWERED_WITHIN,
                                  what="the board after F6")
            said, match = self.ear.wait_for(self.w["board_item"], within=ANSWERED_WITHIN,
                                            what="a board amount after " + press)
            amount = self.spoken(match.group(1))
            if (amount in self.opened) != bool(match.group(2)):
                raise Failure("the board says %r after the openings %r" % (said, self.opened))
            if not match.group(2):
                self.ear.wait_for(self.w["board_in_play"], within=ANSWERED_WITHIN,
                                  what="%r in play" % amount)
            board.append(self.value(amount))
        if board[0] >= board[1]:
            raise Failure("the board is not read from its lowest amount: %r" % board)
        key("Escape")
        self.ear.wait_for(r"push button\.$", within=ANSWERED_WITHIN, what="a case after Esc")
        print("F2, F3, M and F6 answered in %.1f s" % (time.monotonic() - started))

    def value(self, spoken):
        """The number a spoken amount stands for."""
        if spoken in self.w["fractions"]:
            return float(self.w["fractions"][spoken])
        if self.w["million"]:
            match = re.match(self.w["million"], spoken)
            if match:
                return int(match.group(1)) * 1000000 + int(match.group(2) or 0)
        return float(spoken)

    # --- the log ---------------------------------------------------------------

    def compare_with_log(self):
        with open(self.log_path, "rb") as f:
            text = f.read().decode("cp1251")
        opened, offers, accepted, own = [], [], [], None
        for line in text.split("\r\n"):
            if not line:
                continue
            if line.startswith("---------------"):
                offers.append(line[len("---------------"):])
            elif line == " V":
                accepted.append(len(offers) - 1)
            elif line.startswith("<") and line.endswith(">"):
                own = line[1:-1]
            else:
                opened.append(line)

        def number(text):
            # An offer of 0 is written as an empty text, as the screen shows it.
            digits = text.replace(" ", "").replace("\u00a0", "").replace(",", "")
            return float(digits) if digits else 0.0

        problems = []
        if [number(a) for a in opened] != [self.value(a) for a in self.opened]:
            problems.append("opened: heard %r, log %r" % (self.opened, opened))
        heard_offers = [o if o == "ОБМЕН" else self.value(o) for o in self.offers]
        log_offers = [o if o == "ОБМЕН" else number(o) for o in offers]
        if heard_offers != log_offers:
            problems.append("offers: heard %r, log %r" % (self.offers, offers))
        deals = [i for i, yes in self.answers if yes]
        if deals != accepted:
            problems.append("deals at offers %r, log %r" % (deals, accepted))
        if own is None or number(own) != self.value(self.own_amount):
            problems.append("own case: heard %r, log %r" % (self.own_amount, own))
        won = log_offers[accepted[0]] if accepted else number(own or "nan")
        if self.value(self.winnings) != won:
            problems.append("winnings: heard %r, expected %r" % (self.winnings, won))
        if not deals or len(offers) <= deals[0] + 1:
            problems.append("no deal followed by a later offer was heard")
        if problems:
            raise Failure("what Orca said differs from log.txt:\n  " + "\n  ".join(problems))
        print("log.txt agrees: %d amounts, %d offers (deal at %r), %d counts, winnings %s"
              % (len(opened), len(offers), deals, self.counters, self.winnings))

    def check_voice(self):
        """Every amount said sounds as its number written as plain digits."""
        voice = "ru" if self.language == "ru" else "en"
        wrong = []
        for spoken in sorted(self.amounts):
            value = self.value(spoken)
            digits = ("%d" % value) if value == int(value) else ("%g" % value)
            if self.language == "ru" and value >= 1000000:
                # espeak-ng reads "1000000" as a thousand: the expected sound of
                # the millions is checked through the words "миллион ...".
                reference = spoken
                if re.search(r"\d{4,}", spoken.split(" ")[0]):
                    wrong.append(spoken)
                continue
            if value != int(value):
                reference = {"ru": {0.01: "одна сотая", 0.1: "одна десятая"}}.get(voice, {}).get(
                    value, digits)
            else:
                reference = digits
            heard = phonemes(voice, spoken)
            expected = phonemes(voice, reference)
            if heard != expected:
                wrong.append("%r sounds %s, %r sounds %s" % (spoken, heard, reference, expected))
        if wrong:
            raise Failure("amounts a voice misreads: " + "; ".join(wrong))
        print("%d amounts read right by espeak-ng (%s)" % (len(self.amounts), voice))


def phonemes(voice, text):
    return subprocess.run(["espeak-ng", "-q", "-x", "-v", voice, text], capture_output=True,
                          text=True, check=True).stdout.strip()


def find_window(title, game):
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        if game.poll() is not None:
            raise Failure("the game ended with code %d" % game.returncode)
        found = subprocess.run(["xdotool", "search", "--name", re.escape(title)],
                               capture_output=True, text=True)
        if found.stdout.strip():
            return found.stdout.split()[0]
        time.sleep(0.1)
    raise Failure("no window %r" % title)


def orca_preferences(workdir):
    """A preferences folder for Orca whose speech server is silent_speech
    (beside this script): Orca logs each utterance and hands it to a server
    that never speaks nor waits, so no speech server or sound device is
    started or needed. Returns the folder."""
    folder = os.path.join(workdir, "orca")
    os.makedirs(folder)
    default_profile = ["Default", "default"]
    preferences = {
        "general": {"speechServerFactory": "silent_speech", "speechServerInfo": None,
                    "enableSound": False, "startingProfile": default_profile,
                    "activeProfile": default_profile},
        "profiles": {"default": {"profile": default_profile}},
        "pronunciations": {},
        "keybindings": {},
    }
    with open(os.path.join(folder, "user-settings.conf"), "w") as f:
        json.dump(preferences, f)
    return folder


def inner(args):
    workdir = tempfile.mkdtemp(prefix="zorban-orca-")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
               XDG_STATE_HOME=os.path.join(workdir, "state"),
               XDG_CONFIG_HOME=os.path.join(workdir, "config"),
               XDG_DATA_HOME=os.path.join(workdir, "data"),
               HOME=workdir, GTK_A11Y="none", LANG="C.UTF-8", LANGUAGE="")
    bus = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"], env=env)
    orca = game = None
    try:
        time.sleep(0.5)
        listener = Listener(args.keep_debug)
        orca = subprocess.Popen(["orca", "--replace", "--user-prefs", orca_preferences(workdir),
                                 "--debug-file=" + listener.path],
                                env=dict(env, PYTHONPATH=os.path.dirname(os.path.abspath(__file__))),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 90
        while not listener.started:
            if time.monotonic() > deadline:
                raise Failure("Orca did not start within 90 s")
            time.sleep(0.2)
        for language in args.lang:
            print("-- a game in %s" % language)
            gamedir = os.path.join(workdir, language)
            os.mkdir(gamedir)
            # Kept files of its own: the statistics hold this one game.
            game_env = dict(env, **{name: os.path.join(gamedir, name.lower())
                                    for name in ("XDG_STATE_HOME", "XDG_CONFIG_HOME",
                                                 "XDG_DATA_HOME")})
            game = subprocess.Popen([os.path.abspath(args.game), "--mute", "--lang", language],
                                    cwd=gamedir, env=game_env)
            window = find_window(WORDS[language]["window"], game)
            subprocess.run(["xdotool", "windowfocus", window], check=False)
            player = Player(language, listener, os.path.join(gamedir, "log.txt"), window)
            started = time.monotonic()
            player.play()
            player.visit_side_windows()
            player.check_voice()
            print("a game heard in %.0f s" % (time.monotonic() - started))
            game.terminate()
            game.wait(30)
        if args.keep_speech:
            with open(args.keep_speech, "w") as f:
                f.write("\n".join(listener.said) + "\n")
        return 0
    except Failure as failure:
        print("FAILED: %s" % failure)
        if "listener" in locals():
            print("Orca's last words: %r" % listener.said[-15:])
        return 1
    finally:
        for process in (game, orca):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
        bus.terminate()
        shutil.rmtree(workdir, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--game", required=True)
    parser.add_argument("--lang", action="append", choices=sorted(WORDS),
                        help="play a game in this language (again for more games)")
    parser.add_argument("--keep-speech", help="write every utterance to this file")
    parser.add_argument("--keep-debug", help="copy Orca's debug output to this file")
    args = parser.parse_args()
    args.lang = args.lang or ["ru"]
    if os.environ.get(INNER) != "1":
        return outer(sys.argv[1:])
    return inner(args)


if __name__ == "__main__":
    sys.exit(main())
