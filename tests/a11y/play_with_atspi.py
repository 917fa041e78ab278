#!/usr/bin/env python3
"""Plays whole games of zorban as a screen-reader user would: through AT-SPI alone.

The game runs under Xvfb on a private session bus with at-spi2-core's bus and
registry and Qt's AT-SPI bridge on. The player here knows only accessible
names, roles, states, descriptions and actions (no coordinates, no pictures):
it presses "Начать игру", chooses a case, opens the others, answers the offers
at random with "ДА" / "НЕТ", and learns each opened amount, each offer and the
winnings. At the end what it learnt is compared with the game's log.txt.
Every time it looks at the window it also checks that no amount of a case still
closed can be read anywhere in the tree. A screen reader speaks the control that
takes the focus, so the focus must follow play: it is checked to be on "ДА" at
each offer, on a control whose description starts with the amount just opened
after each opening, and on "Новая игра", read with the winnings, at the end.

usage: play_with_atspi.py --game build/zorban [--games N] [--seed S]
Exit code 77 (skipped) when dbus-run-session, Xvfb, at-spi2-core or
python3-pyatspi is missing.
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

import private_session  # beside this script

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
REGISTRY = "/usr/libexec/at-spi2-registryd"
INNER = "ZORBAN_A11Y_INNER"

WINDOW_TITLE = "? ЗОРБАН !"
CASE_NAME = re.compile(r"^Чемодан (\d+)$")
OPENED = re.compile(r"^(ваш, )?открыт: (.+)$")
# The news a screen reader speaks, one sentence each.
NEWS_OPENED = re.compile(r"Чемодан \d+: (.+?)\.(?:\s|$)")
NEWS_CASE = re.compile(r"(?:^|\. )Чемодан (\d+): (.+?)\.(?:\s|$)")
OUT_OF_PLAY = ", выбыла"
OFFER_PREFIX = "Банк предлагает "
EXCHANGE_OFFER = "Банк предлагает обмен"
WINNINGS_PREFIX = "Выигрыш: "
SWAP_PROMPT = "для обмена"

STEP_TIMEOUT = 60.0  # the longest sound between two steps is some seconds
POLL = 0.1
NOT_TAKEN = "Сейчас нельзя."  # the news when a press cannot be taken now


class Failure(Exception):
    pass


def value(amount):
    """The number an amount stands for, as the screen shows it ("36 000") or as
    it is written for a voice ("36000", "1 миллион 500000", "одна сотая")."""
    words = {"одна сотая": 0.01, "одна десятая": 0.1}
    if amount in words:
        return words[amount]
    match = re.match(r"^(\d+) миллион\w*(?: (\d+))?$", amount)
    if match:
        return int(match.group(1)) * 1000000 + int(match.group(2) or 0)
    return float(re.sub(r"[\s,]", "", amount))


def outer(argv):
    """Checks what the test needs and runs it again inside Xvfb and a session bus."""
    missing = [tool for tool in ("dbus-run-session", "Xvfb") if not shutil.which(tool)]
    if not (os.access(BUS_LAUNCHER, os.X_OK) and os.access(REGISTRY, os.X_OK)):
        missing.append("at-spi2-core")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        missing.append("python3-pyatspi (for %s)" % sys.executable)
    if missing:
        return private_session.skip("the AT-SPI test needs " + ", ".join(missing)
                                    + " (./zorban.sh installs them)")
    return private_session.run_inside(__file__, argv, INNER)


class Player:
    def __init__(self, pyatspi, frame, rng, log_path):
        self.pyatspi = pyatspi
        self.frame = frame
        self.rng = rng
        self.log_path = log_path
        # A client that listens instead of looking must hear of every opening: the
        # case's description changes.
        self.described = []  # names of cases whose description-change event came
        from gi.repository import GLib
        self.main_context = GLib.MainContext.default()
        pyatspi.Registry.registerEventListener(self.on_description_changed,
                                               "object:property-change:accessible-description")
        # The news, as a screen reader hears it: each time the notification shows.
        self.news = []
        pyatspi.Registry.registerEventListener(self.on_showing, "object:state-changed:showing")
        self.new_game()

    def on_description_changed(self, event):
        try:
            if event.source.getRole() == self.pyatspi.ROLE_PUSH_BUTTON:
                self.described.append(event.source.name)
        except Exception:  # the source may be gone already
            pass

    def on_showing(self, event):
        try:
            if event.detail1 and event.source.getRole() == self.pyatspi.ROLE_NOTIFICATION:
                self.news.append(event.source.name)
        except Exception:
            pass

    def heard(self, said):
        """Whether a news that came since the last press has said in it."""
        return any(said in news for news in self.news)

    def pump(self, seconds):
        """Waits, delivering AT-SPI events meanwhile."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if not self.main_context.iteration(False):
                time.sleep(0.01)

    def new_game(self):
        self.amounts = []           # the 22 amounts, as the board lists them
        self.opened = []            # amounts of the opened cases, in the order opened
        self.opened_cases = set()   # their names
        self.offers = []            # offers as shown (amount text or "ОБМЕН")
        self.offer_showing = False
        self.answers = []           # (offer index, "ДА"/"НЕТ")
        self.own_amount = None
        self.presses = 0              # cases pressed that said they were sensitive
        self.not_taken_answered = 0   # presses during a suspense, answered "not now"
        self.winnings = None
        self.looks = 0

    # --- looking at the window -------------------------------------------------

    def walk(self, obj, under_list=False):
        yield obj, under_list
        for i in range(obj.childCount):
            child = obj.getChildAtIndex(i)
            if child is not None:
                yield from self.walk(child, under_list or obj.getRole() == self.pyatspi.ROLE_LIST)

    def look(self):
        """One view of the tree, what it teaches, and the checks. The game goes on
        while the tree is walked, so a check that fails is made once more on a new
        view: what is wrong is wrong in both."""
        for attempt in (1, 2):
            view = self.walk_view()
            self.learn(view)
            try:
                self.check_nothing_leaks(view)
                self.check_states(view)
                break
            except Failure:
                if attempt == 2:
                    raise
                self.pump(POLL)
        self.looks += 1
        return view

    def walk_view(self):
        P = self.pyatspi
        view = {"cases": {}, "buttons": {}, "offer": None, "counter": None, "winnings": None,
                "news": None,
                "board": [], "history": [], "objects": [], "focused": None}
        for obj, in_list in self.walk(self.frame):
            role = obj.getRole()
            name = obj.name or ""
            state = obj.getState()
            entry = {"obj": obj, "name": name, "description": obj.description or "",
                     "role": role, "in_list": in_list,
                     "showing": state.contains(P.STATE_SHOWING),
                     "sensitive": state.contains(P.STATE_SENSITIVE),
                     "focused": state.contains(P.STATE_FOCUSED)}
            # What the control is, without the news read with it when it takes the focus.
            entry["own"] = entry["description"].rsplit(". ", 1)[-1]
            try:
                text = obj.queryText()
                entry["text"] = text.getText(0, -1)
            except NotImplementedError:
                entry["text"] = ""
            view["objects"].append(entry)
            if entry["focused"]:
                view["focused"] = entry  # the window's, unless one of its controls has it
            if role == P.ROLE_PUSH_BUTTON and CASE_NAME.match(name):
                view["cases"][name] = entry
            elif role == P.ROLE_PUSH_BUTTON:
                view["buttons"][name] = entry
            elif role == P.ROLE_LIST_ITEM and obj.parent.name == "Суммы":
                view["board"].append(entry)
            elif role == P.ROLE_LIST_ITEM and obj.parent.name == "Банк предлагал":
                view["history"].append(entry)
            elif role == P.ROLE_STATUS_BAR:
                view["counter"] = entry
            elif role == P.ROLE_NOTIFICATION:
                view["news"] = entry
            elif name.startswith(OFFER_PREFIX) and entry["showing"]:
                view["offer"] = entry
            elif name.startswith(WINNINGS_PREFIX) and entry["showing"]:
                view["winnings"] = entry
        return view

    def learn(self, view):
        if not self.amounts:
            self.amounts = [item["name"].replace(OUT_OF_PLAY, "") for item in view["board"]]
            if len(self.amounts) != 22 or len(set(self.amounts)) != 22:
                raise Failure("the board lists %r, not 22 different amounts" % self.amounts)
            numbers = sorted(int(CASE_NAME.match(n).group(1)) for n in view["cases"])
            if numbers != list(range(1, 23)):
                raise Failure("the cases are named %r, not Чемодан 1..22" % sorted(view["cases"]))
        for name, case in view["cases"].items():
            match = OPENED.match(case["own"])
            if not match:
                continue
            amount = match.group(2)
            if amount not in self.amounts:
                raise Failure("%s says it held %r, which is not on the board" % (name, amount))
            if match.group(1):
                if self.own_amount not in (None, amount):
                    raise Failure("the own case's amount changed")
                self.own_amount = amount
            elif name not in self.opened_cases:
                self.opened_cases.add(name)
                self.opened.append(amount)
        offer = view["offer"]
        if offer and not self.offer_showing:
            shown = offer["name"][len(OFFER_PREFIX):]
            self.offers.append("ОБМЕН" if offer["name"] == EXCHANGE_OFFER else shown)
        self.offer_showing = offer is not None
        # The history lists earlier offers only (as bare digits, the latest first;
        # an offer shown after money was taken may never be listed).
        def plain(offer):
            return "обмен" if offer in ("ОБМЕН", "обмен") else value(offer)
        earlier = [plain(o) for o in reversed(self.offers[:-1])]
        # A row being revealed may show before its offer is written into it.
        listed = [plain(item["name"]) for item in view["history"]
                  if item["showing"] and item["name"]]
        if any(offer not in earlier for offer in listed):
            raise Failure("the earlier offers are listed as %r; they were %r" % (listed, earlier))
        if view["winnings"]:
            self.winnings = view["winnings"]["name"][len(WINNINGS_PREFIX):]

    def check_nothing_leaks(self, view):
        """No object outside the board and the history says the amount of a closed case."""
        if not self.amounts:
            return
        closed = set(self.amounts) - set(self.opened)
        if self.own_amount:
            closed.discard(self.own_amount)
        for entry in view["objects"]:
            if entry["in_list"]:
                continue  # the board lists every amount; the history lists offers
            if entry["role"] == self.pyatspi.ROLE_NOTIFICATION:
                # The news names opened cases; one may have opened while the
                # tree was walked, so the case itself is asked again.
                for number, amount in NEWS_CASE.findall(entry["name"]):
                    case = view["cases"].get("Чемодан " + number)
                    said = case["obj"].description if case else ""
                    if not OPENED.match(said or "") or OPENED.match(said).group(2) != amount:
                        raise Failure("the news %r tells what the closed Чемодан %s holds (%r)"
                                      % (entry["name"], number, said))
                continue
            for said in (entry["name"], entry["description"], entry["own"], entry["text"]):
                said = said.strip()
                match = OPENED.match(said)
                news = NEWS_OPENED.findall(said)
                if said in closed or (match and match.group(2) in closed) or closed.intersection(news):
                    raise Failure("a closed case's amount %r can be read in the tree: %s %r / %r"
                                  % (said, entry["obj"].getRoleName(), entry["name"],
                                     entry["description"]))

    def check_states(self, view):
        """Whatever shows has a name; a case is usable only when a click on it does something."""
        for entry in view["objects"]:
            if entry["showing"] and not entry["name"].strip():
                raise Failure("a showing %s has no name" % entry["obj"].getRoleName())
        usable = [c["name"] for c in self.usable_cases(view)]
        yes = view["buttons"].get("ДА")
        if usable and yes and yes["showing"]:
            raise Failure("cases %r can be pressed while the offer waits for an answer" % usable)
        for item in view["board"]:
            if item["showing"] and (OUT_OF_PLAY in item["name"]) == item["sensitive"]:
                raise Failure("the board's %r is %s" % (item["name"], "sensitive" if item["sensitive"] else "not sensitive"))
        # Controls waiting off stage do not show.
        for button, shown_with in (("ДА", "offer"), ("НЕТ", "offer"), ("Новая игра", "winnings")):
            if view["buttons"].get(button, {}).get("showing") and not view[shown_with]:
                raise Failure("%r shows while no %s does" % (button, shown_with))
        swap = view["counter"] and SWAP_PROMPT in view["counter"]["name"]
        for name in usable:
            description = view["cases"][name]["own"]
            if description.startswith("открыт") or (description == "ваш" and not swap):
                raise Failure("%s (%s) can be pressed but a click does nothing" % (name, description))

    def wait_for(self, what, predicate):
        deadline = time.monotonic() + STEP_TIMEOUT
        while True:
            view = self.look()
            result = predicate(view)
            if result:
                return view, result
            if time.monotonic() > deadline:
                raise Failure("waited %.0f s for %s" % (STEP_TIMEOUT, what))
            self.pump(POLL)

    # --- acting ----------------------------------------------------------------

    def press(self, entry):
        """Moves the focus to the control, as a screen reader's user does, and presses it."""
        obj = entry["obj"]
        self.pump(0)
        self.news.clear()
        if not obj.getState().contains(self.pyatspi.STATE_FOCUSED):
            obj.queryComponent().grabFocus()
            deadline = time.monotonic() + 5
            while not obj.getState().contains(self.pyatspi.STATE_FOCUSED):
                if time.monotonic() > deadline:
                    raise Failure("%r can be pressed but takes no focus" % entry["name"])
                self.pump(POLL)
        action = obj.queryAction()
        for i in range(action.nActions):
            if action.getName(i).lower() == "press":
                action.doAction(i)
                return
        raise Failure("%r has no press action" % entry["name"])

    def press_action(self, entry):
        """Presses by the accessible action alone, without the focus."""
        action = entry["obj"].queryAction()
        for i in range(action.nActions):
            if action.getName(i).lower() == "press":
                action.doAction(i)
                return
        raise Failure("%r has no press action" % entry["name"])

    def press_during_suspense(self, pressed, other):
        """Another closed case pressed right after the one that opens: while the suspense
        plays it says it is not sensitive, and the press is answered, not lost."""
        self.press_action(other)
        sensitive = other["obj"].getState().contains(self.pyatspi.STATE_SENSITIVE)
        suspense = (pressed["obj"].description or "").rsplit(". ", 1)[-1] == "закрыт"
        if suspense and sensitive:
            raise Failure("%s says it is sensitive while %s opens" % (other["name"], pressed["name"]))
        deadline = time.monotonic() + 5
        while not self.heard(NOT_TAKEN):
            if time.monotonic() > deadline:
                raise Failure("a press on %s during the suspense was not answered" % other["name"])
            self.pump(POLL)
        self.news = [n for n in self.news if NOT_TAKEN not in n]
        self.not_taken_answered += 1

    @staticmethod
    def offer_name(view):
        return view["offer"]["name"] if view["offer"] else None

    def focused_on(self, view, name, said):
        """The button name has the focus, and the news has said it."""
        focused = view["focused"]
        return bool(focused and said and focused["name"] == name and self.heard(said))

    @staticmethod
    def usable_cases(view):
        return [c for c in view["cases"].values() if c["showing"] and c["sensitive"]]

    @staticmethod
    def own_case(view):
        own = [n for n, c in view["cases"].items() if c["own"].startswith("ваш")]
        return own[0] if len(own) == 1 else None

    def play(self):
        view = self.look()
        start = view["buttons"].get("Начать игру")
        if not start or not start["showing"]:
            raise Failure("no showing button 'Начать игру'")
        self.press(start)
        view, cases = self.wait_for("cases to choose from", self.usable_cases)
        if len(cases) != 22:
            raise Failure("%d cases can be chosen at first, not 22" % len(cases))
        chosen = self.rng.choice(cases)
        self.press(chosen)
        self.wait_for("the chosen case to be 'ваш'",
                      lambda v: v["cases"][chosen["name"]]["own"] == "ваш")
        print("chose %s" % chosen["name"])

        while True:
            def next_step(v):
                if v["winnings"]:
                    return "end"
                yes, no = v["buttons"].get("ДА"), v["buttons"].get("НЕТ")
                if yes and no and yes["showing"] and no["showing"] and yes["sensitive"]:
                    return "offer"
                if self.usable_cases(v):
                    return "case"
                return None

            view, step = self.wait_for("a case, an offer or the winnings", next_step)
            if step == "end":
                break
            if step == "offer":
                self.wait_for("the focus on 'ДА' with the offer",
                              lambda v: self.focused_on(v, "ДА", self.offer_name(v)))
                answer = self.rng.choice(["ДА", "НЕТ"])
                self.answers.append((len(self.offers) - 1, answer))
                print("offer %r: %s" % (self.offers[-1], answer))
                self.press(view["buttons"][answer])
                self.wait_for("the offer's buttons to go",
                              lambda v: not v["buttons"]["ДА"]["showing"])
                continue
            swap = view["counter"] and SWAP_PROMPT in view["counter"]["name"]
            case = self.rng.choice(self.usable_cases(view))
            name = case["name"]
            if not swap and case["own"] != "закрыт":
                raise Failure("%s can be opened but says %r" % (name, case["description"]))
            self.described.clear()
            others = [c for c in self.usable_cases(view) if c["name"] != name]
            self.press(case)
            self.presses += 1
            if not swap and not self.not_taken_answered and others:
                self.press_during_suspense(case, others[0])
            if swap:
                print("exchange for %s" % name)
                self.wait_for("%s to become the own case" % name,
                              lambda v: v["cases"][name]["own"] == "ваш")
            else:
                def opened(v):
                    if self.heard(NOT_TAKEN):
                        raise Failure("the press on %s, which said it was sensitive, was not taken"
                                      % name)
                    return name in self.opened_cases
                self.wait_for("%s to open" % name, opened)
                print("opened %s: %s" % (name, self.opened[-1]))
                news = "%s: %s." % (name, self.opened[-1])
                self.wait_for("the news %r" % news,
                              lambda v: any(n.startswith(news) for n in self.news))
                self.wait_for("the focus on a control",
                              lambda v: v["focused"] and v["focused"]["role"] == self.pyatspi.ROLE_PUSH_BUTTON)
                deadline = time.monotonic() + 5
                while name not in self.described and time.monotonic() < deadline:
                    self.pump(POLL)
                if name not in self.described:
                    raise Failure("no description-change event came when %s opened (only for %r)"
                                  % (name, self.described))

        self.wait_for("the own case's amount", lambda v: self.own_amount is not None)
        self.wait_for("the focus on 'Новая игра' and the winnings in the news",
                      lambda v: self.focused_on(v, "Новая игра", "%s%s." % (WINNINGS_PREFIX, self.winnings)))
        print("own case %s, winnings %s; %d presses on sensitive cases, all taken; %d press "
              "during a suspense answered" % (self.own_amount, self.winnings, self.presses,
                                              self.not_taken_answered))
        self.check_board()
        self.compare_with_log()

    def check_board(self):
        view = self.look()
        out = sorted(i["name"].replace(OUT_OF_PLAY, "") for i in view["board"] if not i["sensitive"])
        if out != sorted(self.opened + [self.own_amount]) and out != sorted(self.opened):
            raise Failure("the board has %r out of play; opened were %r" % (out, self.opened))

    # --- the log ---------------------------------------------------------------

    def read_log(self):
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
        return opened, offers, accepted, own

    def compare_with_log(self):
        opened, offers, accepted, own = self.read_log()
        said_yes = [i for i, answer in self.answers if answer == "ДА" and self.offers[i] != "ОБМЕН"]
        problems = []
        def numbers(amounts):
            return [a if a == "ОБМЕН" else value(a) for a in amounts]
        if numbers(opened) != numbers(self.opened):
            problems.append("opened amounts: learnt %r, log %r" % (self.opened, opened))
        if numbers(offers) != numbers(self.offers):
            problems.append("offers: learnt %r, log %r" % (self.offers, offers))
        if accepted != said_yes:
            problems.append("money accepted at offers %r, log %r" % (said_yes, accepted))
        if own is None or self.own_amount is None or value(own) != value(self.own_amount):
            problems.append("own case: learnt %r, log %r" % (self.own_amount, own))
        expected = self.offers[said_yes[0]] if said_yes else own
        if self.winnings is None or expected is None or value(self.winnings) != value(expected):
            problems.append("winnings: read %r, expected %r" % (self.winnings, expected))
        if problems:
            raise Failure("what the player learnt differs from log.txt:\n  " + "\n  ".join(problems))
        print("log.txt agrees: %d amounts, %d offers, winnings %s (%d looks at the tree)"
              % (len(opened), len(offers), self.winnings, self.looks))


def find_window(pyatspi, game):
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        if game.poll() is not None:
            raise Failure("the game ended with code %d before its window was found" % game.returncode)
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is None or app.name != "zorban":
                continue
            for j in range(app.childCount):
                frame = app.getChildAtIndex(j)
                if frame is not None and frame.name == WINDOW_TITLE:
                    return frame
        time.sleep(0.2)
    raise Failure("no window %r of an application 'zorban' on the accessibility bus" % WINDOW_TITLE)


def inner(args):
    import pyatspi

    seed = args.seed if args.seed is not None else int(time.time())
    print("seed %d" % seed)
    rng = random.Random(seed)
    bus = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"])
    workdir = tempfile.mkdtemp(prefix="zorban-a11y-")
    # The suspense's sound, so that the suspense lasts as in play (the muted
    # engine still waits out a clip); the other sounds are missing and end at once.
    os.mkdir(os.path.join(workdir, "music"))
    shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                             "assets", "music", "chosen.mp3"), os.path.join(workdir, "music"))
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
               XDG_STATE_HOME=os.path.join(workdir, "state"),
               XDG_CONFIG_HOME=os.path.join(workdir, "config"),
               XDG_DATA_HOME=os.path.join(workdir, "data"))
    game = None
    try:
        time.sleep(0.5)
        game = subprocess.Popen([os.path.abspath(args.game), "--mute"], cwd=workdir, env=env)
        frame = find_window(pyatspi, game)
        player = Player(pyatspi, frame, rng, os.path.join(workdir, "log.txt"))
        for number in range(args.games):
            if number > 0:
                view = player.look()
                player.press(view["buttons"]["Новая игра"])
                time.sleep(1)
                player.frame = find_window(pyatspi, game)
                player.new_game()
            print("-- game %d" % (number + 1))
            player.play()
        return 0
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    finally:
        if game and game.poll() is None:
            game.terminate()
            try:
                game.wait(10)
            except subprocess.TimeoutExpired:
                game.kill()
        bus.terminate()
        shutil.rmtree(workdir, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--game", required=True)
    parser.add_argument("--games", type=int, default=1)
    parser.add_argument("--seed", type=int)
    args = parser.parse_args()
    if os.environ.get(INNER) != "1":
        return outer(sys.argv[1:])
    return inner(args)


if __name__ == "__main__":
    sys.exit(main())
