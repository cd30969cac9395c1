# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads and drives a running brovik through the AT-SPI bus, as a screen
reader would. Run by accessibility_under_xvfb.sh inside Xvfb and a private
D-Bus session; argument: the brovik executable."""

import configparser
import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

failures = []


class Failure(Exception):
    pass


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


def wait_for(find, what, seconds=30):
    # A deadline only against hanging; nothing is asserted about speed.
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        # Events from the bus arrive through the main loop.
        while GLib.MainContext.default().pending():
            GLib.MainContext.default().iteration(False)
        found = find()
        if found:
            return found
        time.sleep(0.1)
    raise Failure(what + " never appeared")


def fresh(acc):
    acc.clear_cache()
    return acc


def descendant(root, name, role=None):
    found = pyatspi.findDescendant(
        root, lambda a: a.name == name and (role is None or a.getRole() == role))
    if found is None:
        raise Failure(f"nothing named {name!r} in {root.name!r}")
    return found


def all_of(root, role):
    return pyatspi.findAllDescendants(root, lambda a: a.getRole() == role)


def do(acc, action):
    actions = acc.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action not in names:
        raise Failure(f"{acc.name!r} has no {action} action, only {names}")
    actions.doAction(names.index(action))


def states(acc):
    return fresh(acc).getState()


def window(app, name):
    for i in range(fresh(app).childCount):
        w = app.getChildAtIndex(i)
        if w is not None and w.name == name and states(w).contains(pyatspi.STATE_SHOWING):
            return w
    return None


def labels_of(acc):
    names = []
    for relation in acc.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def main():
    brovik = sys.argv[1]
    config = os.environ["XDG_CONFIG_HOME"]
    # COM1 is a board under a name of its own, so that it can go and come back.
    board = os.path.join(os.environ["TMPDIR"], "board")
    devices = []

    def plug():
        devices.extend(os.openpty())
        os.symlink(os.ttyname(devices[-1]), board)

    def unplug():
        os.remove(board)
        for fd in devices:
            os.close(fd)
        devices.clear()

    plug()
    settings = os.path.join(config, "Brovik", "Brovik.ini")
    os.makedirs(os.path.dirname(settings))
    with open(settings, "w") as f:
        f.write("[General]\nAutoClearOnSend=1\nSendCR=2\nSendLF=0\n"
                "[Outputs]\nOutput1=ATZ0x0Dh\n"
                f"[Ports]\nCOM1={board}\n")

    # The bus and its registry are started on demand; have them up before
    # the program looks for them.
    fresh(pyatspi.Registry.getDesktop(0)).childCount
    announced = []  # the names heard, as the event brought them
    pyatspi.Registry.registerEventListener(lambda event: announced.append(event.source.name),
                                           "object:property-change:accessible-name")
    log = open(os.path.join(os.environ["TMPDIR"], "brovik.log"), "w")
    proc = subprocess.Popen([brovik], stdout=log, stderr=subprocess.STDOUT)
    try:
        def application():
            desktop = fresh(pyatspi.Registry.getDesktop(0))
            return next((a for a in desktop if a is not None and a.name == "Brovik"), None)

        app = wait_for(application, "the application on the bus")
        main_window = wait_for(lambda: window(app, "Brovik"), "the main window")

        # The status line is read as it shows, and each change is heard.
        connected = "Connected to COM1:9600,n,8,1"
        disconnected = "Disconnected. Please select your COM port from options."
        status = wait_for(lambda: pyatspi.findDescendant(
            fresh(main_window), lambda a: a.getRole() == pyatspi.ROLE_LABEL and
            a.name.startswith("Connected to ")), "the connection status")
        check(status.name == connected, f"the status line reads {status.name!r}")
        check(status.description == f"COM1 is {board} ({os.ttyname(devices[-1])})",
              f"the status line tells which device COM1 is: {status.description!r}")
        time_of_day = re.compile(r"\d{1,2}:\d{2}(:\d{2})?(\s?[AP]M)?")
        clock = pyatspi.findDescendant(main_window, lambda a: a.getRole() == pyatspi.ROLE_LABEL
                                       and time_of_day.fullmatch(a.name))
        check(clock is not None, "the clock panel reads the time")
        announced.clear()
        unplug()
        wait_for(lambda: disconnected in announced, "the lost port announced")
        check(fresh(status).name == disconnected, "the status line reads that the port is lost")
        announced.clear()
        plug()
        wait_for(lambda: connected in announced, "the port back announced")
        check(fresh(status).name == connected, "the status line reads that the port is back")

        check(descendant(main_window, "Data").description.startswith("Use 0xNNh"),
              "the data field is named Data and its tooltip describes it")
        for name in ("File", "Activity log"):
            check(descendant(main_window, name).getRole() != pyatspi.ROLE_LABEL,
                  f"a control is named {name}")
        out1 = descendant(main_window, "Out1", pyatspi.ROLE_PUSH_BUTTON)
        out2 = descendant(main_window, "Out2", pyatspi.ROLE_PUSH_BUTTON)
        check(out1.description == "Sends: ATZ0x0Dh",
              f"Out1 tells what it sends: {out1.description!r}")
        check(out2.description == "Sends nothing: set Out2 in Options",
              f"an empty output says so: {out2.description!r}")
        rules = all_of(main_window, pyatspi.ROLE_SEPARATOR)
        check(len(rules) == 5, f"the five rules are separators ({len(rules)} found)")
        banner = descendant(main_window, "Zanthe Labs web site", pyatspi.ROLE_LINK)
        check(not states(banner).contains(pyatspi.STATE_FOCUSABLE),
              "the banner link is a link that takes no focus")

        # The About box tells its text; a click on its face closes it.
        do(descendant(main_window, "About", pyatspi.ROLE_PUSH_BUTTON), "Press")
        about = wait_for(lambda: window(app, "About Brovik"), "the About box")
        text = about.description
        for part in ("Version ", "test tool for microcontroller programmers", "donation",
                     "Written by the Brovik developers", "developers.example.com/brovik"):
            check(part in text, f"the About box tells {part!r}")
        links = all_of(about, pyatspi.ROLE_LINK)
        check(len(links) == 2 and all(link.name for link in links),
              "the About box has two named links")
        x, y, _, _ = about.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", str(x + 20), str(y + 20), "click", "1"],
                       check=True)
        wait_for(lambda: window(app, "About Brovik") is None, "the About box closing")

        # Options: the lists and boxes are labelled; Toggle then Cancel keeps the flag.
        do(descendant(main_window, "Options", pyatspi.ROLE_PUSH_BUTTON), "Press")
        options = wait_for(lambda: window(app, "Options"), "the Options dialog")
        combo_labels = sorted(n for c in all_of(options, pyatspi.ROLE_COMBO_BOX)
                              for n in labels_of(c) if n.endswith(":"))
        check(combo_labels == sorted(["Port:", "Baud Rate:", "Data Bits:", "Stop Bits:",
                                      "Parity:", "Flow Control:"]),
              f"each list is labelled by its label: {combo_labels}")
        for k in range(1, 9):
            box = pyatspi.findDescendant(
                options, lambda a: a.name == f"Out{k}:" and a.getRole() != pyatspi.ROLE_LABEL)
            check(box is not None and f"Out{k}:" in labels_of(box),
                  f"the Out{k} box is named and labelled by its label")
        auto_clear = descendant(options, "Auto clear data field on send", pyatspi.ROLE_CHECK_BOX)
        check(states(auto_clear).contains(pyatspi.STATE_CHECKED), "auto clear starts ticked")
        do(auto_clear, "Toggle")
        check(not states(auto_clear).contains(pyatspi.STATE_CHECKED), "Toggle unticks auto clear")
        do(descendant(options, "Cancel", pyatspi.ROLE_PUSH_BUTTON), "Press")
        wait_for(lambda: window(app, "Options") is None, "the Options dialog closing")

        # A greyed CR becomes an ordinary ticked box, as a click makes it.
        cr = descendant(main_window, "CR", pyatspi.ROLE_CHECK_BOX)
        check(states(cr).contains(pyatspi.STATE_INDETERMINATE), "CR starts greyed")
        do(cr, "Toggle")
        check(states(cr).contains(pyatspi.STATE_CHECKED), "Toggle ticks the greyed CR")

        # The log window and its find bar, from the keyboard alone.
        wid = subprocess.run(["xdotool", "search", "--name", "^Brovik$"], check=True,
                             capture_output=True, text=True).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", wid], check=True)
        subprocess.run(["xdotool", "key", "ctrl+l"], check=True)
        log_window = wait_for(lambda: window(app, "Brovik Log"), "the log window")
        check(descendant(log_window, "Activity log").getRole() == pyatspi.ROLE_TEXT,
              "the log window's log is a text named Activity log")
        subprocess.run(["xdotool", "key", "ctrl+f"], check=True)
        find = wait_for(lambda: pyatspi.findDescendant(
            fresh(log_window), lambda a: a.name == "Find" and a.getRole() == pyatspi.ROLE_TEXT
            and states(a).contains(pyatspi.STATE_SHOWING)), "the find field")
        check(states(find).contains(pyatspi.STATE_FOCUSED), "Ctrl+F puts the focus in Find")
        for name in ("Previous", "Next", "Close find bar"):
            descendant(log_window, name, pyatspi.ROLE_PUSH_BUTTON)
        descendant(log_window, "Match case", pyatspi.ROLE_CHECK_BOX)

        do(descendant(main_window, "Exit", pyatspi.ROLE_PUSH_BUTTON), "Press")
        proc.wait(timeout=30)
    except (Failure, subprocess.TimeoutExpired) as e:
        check(False, str(e))
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        for fd in devices:
            os.close(fd)

    saved = configparser.ConfigParser(interpolation=None)
    saved.read(settings)
    general = saved["General"] if saved.has_section("General") else {}
    check(general.get("AutoClearOnSend") == "0",
          "the Toggle reached the flag: Exit saved AutoClearOnSend=0")
    check(general.get("SendCR") == "1", "Exit saved the ticked CR as 1")
    if failures:
        log.close()
        print(open(log.name).read())
        sys.exit(1)


main()
