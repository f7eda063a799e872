#!/usr/bin/python3
"""Looks at the running programs from outside, as the desktop does.

Run by scripts/check-desktop inside its own D-Bus session and virtual X
server: starts each program, reads its title bar as the window manager reads
it (xprop), reads its controls as a screen reader gets them over the
accessibility bus (AT-SPI), and goes through one input dialog with the mouse
and keyboard (xdotool). Prints what differs and exits 1 on any difference.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

BUILD = sys.argv[1]

# (role, name) of every control of each window, in the order a screen reader
# lists them. The time options must be radio buttons.
CONTROLS = {
    "tesmora": [
        ("label", "Вывод программы"),
        ("push button", "Обучение"), ("push button", "Тест1 да/нет"),
        ("push button", "Результат"), ("push button", "Выход"),
        ("check box", "Обучение"), ("check box", "Тест1 да/нет"),
        ("push button", "Справка"), ("list", "Вопросы"), ("list", "Ответы"),
        ("push button", "Тест2 выбор"), ("check box", "Тест2 выбор"),
        ("label", "Вопросы"), ("label", "Ответы"), ("check box", "Результат"),
        ("radio button", "1 мин"), ("radio button", "2 мин"), ("radio button", "5 мин"),
        ("text", "Дата и время"),
    ],
    "doloran": [
        ("label", "Вывод программы"),
        ("push button", "Массив1"), ("push button", "Массив2"), ("push button", "Выход"),
        ("push button", "Удаление элемента"), ("push button", "Удаление столбца"),
        ("push button", "Ввод m,n"), ("push button", "Удаление строки"),
        ("push button", "Вставка столбца"), ("push button", "Вставка строки"),
        ("text", "Дата и время"), ("push button", "Свой массив…"), ("check box", "По шагам"),
        # Shown only when a zoomed print no longer fits the window.
        ("scroll bar", "Прокрутка вывода по горизонтали"), ("scroll bar", "Прокрутка вывода по вертикали"),
    ],
    "pelmar": [
        ("label", "Вывод программы"),
        ("push button", "Массив1"), ("push button", "Массив2"), ("push button", "Выход"),
        ("push button", "сорт1"), ("push button", "Поиск min"), ("push button", "сорт2"),
        ("push button", "Ввод m,n"), ("push button", "Поиск max"),
        ("text", "Дата и время"), ("push button", "Свой массив…"), ("check box", "По шагам"),
        # Shown only when a zoomed print no longer fits the window.
        ("scroll bar", "Прокрутка вывода по горизонтали"), ("scroll bar", "Прокрутка вывода по вертикали"),
    ],
}
TITLES = {"tesmora": "Tesmora", "doloran": "Form1", "pelmar": "Pelmar"}
LINEAR_TITLE = "1-й массив - одномерный (линейный) случайных целых чисел"

failures = []


def fail(what):
    failures.append(what)
    print("FAIL: " + what)


def wait_for(find, what, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    fail("no " + what + " within %d s" % seconds)
    return None


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
        except Exception:
            pass
    return None


def children(acc):
    return [acc.getChildAtIndex(k) for k in range(acc.childCount)]


def role_and_name(acc):
    return (acc.getRoleName(), acc.name)


def descendants(acc):
    for child in children(acc):
        yield child
        yield from descendants(child)


def window_title(pid, name):
    """_NET_WM_NAME of the program's visible window named `name`, or None."""
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                         capture_output=True, text=True).stdout.split()
    for wid in ids:
        out = subprocess.run(["xprop", "-id", wid, "_NET_WM_NAME"], capture_output=True, text=True).stdout
        if "=" in out:
            title = out.split("=", 1)[1].strip().strip('"')
            if title == name or title.startswith(name + " "):
                return title
    return None


def click(acc, button=1):
    x, y, w, h = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", str(button)], check=True)
    time.sleep(0.2)


def press(*keys):
    subprocess.run(["xdotool", "key", "--delay", "50", *keys], check=True)
    time.sleep(0.2)


def dialog_of(app, title):
    for child in children(app):
        if child.getRoleName() == "dialog" and child.name == title:
            return child
    return None


def check_controls(program, window):
    got = [role_and_name(c) for c in children(window)]
    if got != CONTROLS[program]:
        fail("%s: controls differ\n  expected %s\n  got      %s" % (program, CONTROLS[program], got))


def check_options(app, window):
    """Choosing "2 мин" leaves three radio buttons, that one checked."""
    options = [c for c in children(window) if c.name in ("1 мин", "2 мин", "5 мин")]
    click(options[1])
    states = [(c.getRoleName(), c.getState().contains(pyatspi.STATE_CHECKED)) for c in options]
    if states != [("radio button", False), ("radio button", True), ("radio button", False)]:
        fail("tesmora: options after choosing 2 мин: %s" % states)


def check_dialog(program, app, window, pid):
    """The input dialog: its title and Russian buttons; then sizes 3 and 2
    and "Массив1", whose printed text the screen reader must get."""
    buttons = {c.name: c for c in children(window)}
    click(buttons["Ввод m,n"])
    dialog = wait_for(lambda: dialog_of(app, program), "input dialog titled " + program)
    if not dialog:
        return
    title = window_title(pid, program)
    if title != program:
        fail("%s: the dialog's title bar reads %r" % (program, title))
    names = [c.name for c in descendants(dialog) if c.getRoleName() == "push button"]
    if sorted(names) != sorted(["ОК", "Отмена"]):
        fail("%s: dialog buttons %s" % (program, names))
    field = next((c for c in descendants(dialog) if c.getRoleName() == "text"), None)
    click(field)
    press("3", "Return")
    wait_for(lambda: dialog_of(app, program), "second size prompt")
    press("2", "Return")
    if not wait_for(lambda: not dialog_of(app, program), "dialog closing"):
        return
    click(buttons["Массив1"])
    surface = children(window)[0]
    text = surface.queryText()
    lines = text.getText(0, text.characterCount).split("\n")
    if len(lines) != 2 or lines[0] != LINEAR_TITLE or len(lines[1].split()) != 3:
        fail("%s: printed text after Массив1 reads %r" % (program, lines))
    elif program == "pelmar":
        check_steps(app, buttons, lines[1].split())


def check_steps(app, buttons, values):
    """"По шагам" and "сорт1": the step window's cells are table cells named
    by the values printed, and "Вперёд" announces the first comparison."""
    click(buttons["По шагам"])
    click(buttons["сорт1"])
    steps = wait_for(lambda: next((c for c in children(app) if c.name == "Пошагово — сорт1"), None),
                     "step window titled Пошагово — сорт1")
    if not steps:
        return
    cells = [c.name for c in descendants(steps) if c.getRoleName() == "table cell"]
    if cells != values:
        fail("pelmar: the step window's cells read %s, printed %s" % (cells, values))
    forward = next((c for c in descendants(steps) if c.getRoleName() == "push button" and c.name == "Вперёд"), None)
    click(forward)
    said = [c.name for c in descendants(steps) if c.getRoleName() == "label" and c.name.startswith("Сравниваем")]
    if said != ["Сравниваем a[1] = %s и a[2] = %s: %s" % (values[0], values[1], "больше, меняем местами"
                if int(values[0]) > int(values[1]) else "не больше, оставляем")]:
        fail("pelmar: after Вперёд the step window says %s" % said)


def check(program):
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    proc = subprocess.Popen([os.path.join(BUILD, "bin", program)], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        app = wait_for(lambda: application(proc.pid), program + " on the accessibility bus")
        if not app:
            return
        window = wait_for(lambda: next((c for c in children(app) if c.name == TITLES[program]
                                        and c.childCount > 0), None), program + "'s window")
        title = wait_for(lambda: window_title(proc.pid, TITLES[program]), program + "'s title bar")
        if title is not None and title != TITLES[program]:
            fail("%s: the title bar reads %r, not %r" % (program, title, TITLES[program]))
        if not window:
            return
        check_controls(program, window)
        if program == "tesmora":
            check_options(app, window)
        else:
            check_dialog(program, app, window, proc.pid)
    finally:
        proc.kill()
        proc.wait()


def check_choice():
    """With two topics of the account's own the trainer asks first: a dialog
    "Выбор темы" with the topics as a list and Russian buttons; Down and Enter
    take the second, which the title bar then names."""
    home = tempfile.mkdtemp()
    for name in ("Алгебра", "Физика"):
        folder = os.path.join(home, "tesmora", "topics", name)
        os.makedirs(folder)
        for file in ("test.txt", "test1.txt"):
            shutil.copy(os.path.join(BUILD, "share", "tesmora", file), folder)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_DATA_HOME=home)
    proc = subprocess.Popen([os.path.join(BUILD, "bin", "tesmora")], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        app = wait_for(lambda: application(proc.pid), "tesmora on the accessibility bus")
        dialog = app and wait_for(lambda: dialog_of(app, "Выбор темы"), "dialog Выбор темы")
        if not dialog:
            return
        items = [c.name for c in descendants(dialog) if c.getRoleName() in ("list item", "table cell")]
        if items != ["Алгебра", "Физика", "Стандартная тема"]:
            fail("tesmora: topics offered %s" % items)
        names = sorted(c.name for c in descendants(dialog) if c.getRoleName() == "push button")
        if names != sorted(["ОК", "Отмена"]):
            fail("tesmora: choice buttons %s" % names)
        press("Down", "Return")
        title = wait_for(lambda: window_title(proc.pid, "Tesmora"), "the trainer after the choice")
        if title != "Tesmora — Физика":
            fail("tesmora: the title bar after choosing Физика reads %r" % title)
    finally:
        proc.kill()
        proc.wait()
        shutil.rmtree(home, ignore_errors=True)


CHECKS = {"tesmora-choice": check_choice}

for name in sys.argv[2:] or ["tesmora", "tesmora-choice", "doloran", "pelmar"]:
    before = len(failures)
    if name in CHECKS:
        CHECKS[name]()
    else:
        check(name)
    print("%s: %s" % (name, "ok" if len(failures) == before else "FAILED"))
sys.exit(1 if failures else 0)
