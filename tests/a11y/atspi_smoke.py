"""What a screen reader finds in the form over AT-SPI: names, roles, descriptions, the spinners'
values and a refused range. Prints one line per check; exit status 1 when any fails."""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

program, work = sys.argv[1], sys.argv[2]
CAPTION = "Опросный лист для поверки изделий ЖУВ-610 и ЖУВ-720"

# ЖУВ-720-120 with a thermocouple B on 0..1200 °С in channel 1; no check code, so no warning.
questionnaire = os.path.join(work, "smoke.cfg")
with open(questionnaire, "wb") as f:
    f.write(b"[Device]\r\nid=84\r\n[Channel 1]\r\nInput mode=1\r\nSensor id=9\r\nSensor type=2\r\n"
            b"Temperature max=1200\r\nTemperature min=0\r\nOutput mode=2\r\n[Channel 2]\r\nInput mode=0\r\n"
            b"[Reqs]\r\nVersion=4e\r\nFirm=ACME\r\nMail=a@b.cd\r\nQuantity=1\r\n")

failures = []


def check(what, ok, seen=""):
    print(("ok:   " if ok else "FAIL: ") + what + ("" if ok else f"  (seen: {seen})"), flush=True)
    if not ok:
        failures.append(what)


def find_app(pid, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return app
            except Exception:
                pass
        time.sleep(0.2)
    return None


def descendants(node):
    found = []

    def walk(n):
        for child in n:
            if child is None:
                continue
            found.append(child)
            walk(child)
    walk(node)
    return found


def named(nodes, name, role=None):
    return [n for n in nodes if n.name == name and (role is None or n.getRole() == role)]


def text_of(node):
    return node.queryText().getText(0, -1)


process = subprocess.Popen([program, questionnaire], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
try:
    app = find_app(process.pid)
    check("the program is on the accessibility bus", app is not None)
    if app is None:
        sys.exit(1)
    frame = app[0]
    # The title names the file once the load is done.
    end = time.time() + 20
    while "smoke.cfg" not in frame.name and time.time() < end:
        time.sleep(0.2)
    check("the window is a frame", frame.getRole() == pyatspi.ROLE_FRAME, frame.getRoleName())
    check(f"the window is named after its file: {frame.name}",
          frame.name.startswith("smoke.cfg") and frame.name.endswith(CAPTION), frame.name)

    nodes = descendants(frame)
    for group in ("Реквизиты", "1 канал", "2 канал"):
        check(f"group «{group}» is named without blanks", len(named(nodes, group)) == 1,
              [n.name for n in nodes if n.getRole() in (pyatspi.ROLE_PANEL, pyatspi.ROLE_GROUPING)])
    status = [n for n in nodes if n.getRole() == pyatspi.ROLE_STATUS_BAR]
    check("the status bar is named «Строка состояния»",
          len(status) == 1 and status[0].name == "Строка состояния", [s.name for s in status])

    for edit, required in (("Название фирмы", True), ("Телефонный номер", False),
                           ("Адрес электронной почты", True), ("Номер и дата выставленного счета", False)):
        found = named(nodes, edit, pyatspi.ROLE_TEXT)
        description = found[0].description if found else ""
        says = description.startswith("Обязательно для заполнения")
        check(f"«{edit}»: {description}", len(found) == 1 and says == required, description)

    # Qt names a combo by its value on Linux; the caption comes through the labelled-by relation.
    for caption, value in (("Модель изделий", "ЖУВ-720-120"), ("Тип датчика", "Термопара")):
        combos = [n for n in nodes if n.getRole() == pyatspi.ROLE_COMBO_BOX
                  and any(r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                          and r.getTarget(0).name == caption for r in n.getRelationSet())]
        names = [c.name for c in combos]
        check(f"combo labelled «{caption}», named {names}", len(combos) >= 1 and value in names, names)

    def channel1(caption, role):
        found = [n for n in named(nodes, caption, role) if n.parent.name == "1 канал"]
        return found[0] if found else None

    max_edit, max_arrows = channel1("T макс, °С", pyatspi.ROLE_TEXT), channel1("T макс, °С", pyatspi.ROLE_SLIDER)
    min_edit, min_arrows = channel1("T мин, °С", pyatspi.ROLE_TEXT), channel1("T мин, °С", pyatspi.ROLE_SLIDER)
    check("channel 1 has its range edits and arrows", None not in (max_edit, max_arrows, min_edit, min_arrows))
    if None in (max_edit, max_arrows, min_edit, min_arrows):
        sys.exit(1)
    seen = (text_of(max_edit), max_arrows.queryValue().currentValue)
    check(f"after the load the T max arrows say the edit's {seen[0]}", seen == ("1200", 1200.0), seen)
    # A screen reader listening is told new descriptions and values.
    heard = []
    listener = lambda event: heard.append((event.type, event.source.name, event.source.getRoleName()))
    kinds = ("object:property-change:accessible-description", "object:property-change:accessible-value")
    pyatspi.Registry.registerEventListener(listener, *kinds)
    qnty = named(nodes, "Количество изделий", pyatspi.ROLE_TEXT)[0]
    qnty.queryEditableText().setTextContents("25")
    qnty_arrows = named(nodes, "Количество изделий", pyatspi.ROLE_SLIDER)[0]
    check("quantity typed as 25: the arrows say 25", qnty_arrows.queryValue().currentValue == 25.0,
          qnty_arrows.queryValue().currentValue)

    # Set through the arrows as a screen reader would: the edits change, the range is checked and
    # described (the minimum was 300 already: the load held the file's 0 to the lower limit).
    max_arrows.queryValue().currentValue = 600
    min_arrows.queryValue().currentValue = 300
    end = time.time() + 1
    while time.time() < end:
        GLib.MainContext.default().iteration(False)
        time.sleep(0.01)
    pyatspi.Registry.deregisterEventListener(listener, *kinds)
    said = sorted(set(heard))
    check(f"events heard: {said}",
          ("object:property-change:accessible-description", "T мин, °С", "text") in said
          and ("object:property-change:accessible-value", "T макс, °С", "slider") in said
          and ("object:property-change:accessible-value", "Количество изделий", "slider") in said, said)
    seen = (text_of(max_edit), text_of(min_edit))
    check(f"arrows set to 600 and 300: the edits say {seen}", seen == ("600", "300"), seen)
    for edit in (max_edit, min_edit):
        check(f"refused range described: {edit.description}",
              edit.description.startswith("Некорректно задан диапазон измерения. Ширина диапазона: 300 °С."),
              edit.description)
    max_arrows.queryValue().currentValue = 1700
    time.sleep(0.3)
    check(f"range passes again, the hint is back: {max_edit.description!r}",
          max_edit.description.startswith("Максимальное значение:"), max_edit.description)
finally:
    process.terminate()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()

print(f"{len(failures)} of the checks failed" if failures else "all checks passed")
sys.exit(1 if failures else 0)
