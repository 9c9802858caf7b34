"""The README's quick start runs as written."""
import pathlib
import re

from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.select.pickcore import SelectBase

README = pathlib.Path(__file__).parents[2] / "README.md"


def quick_start() -> str:
    text = README.read_text()
    section = text[text.index("## Quick start"):]
    return re.search(r"```python\n(.*?)```", section, re.S).group(1)


def test_quick_start_builds_the_form_and_reacts_to_a_choice(qapp, qtbot, monkeypatch):
    code = quick_start().replace("sys.exit(app.exec())", "")
    code = code.replace("app = QApplication(sys.argv)", "app = QApplication.instance()")
    main_window = qapp.mainWindow
    scope: dict = {}
    try:
        exec(compile(code, "README quick start", "exec"), scope)
        window = scope["window"]
        qtbot.addWidget(window)
        fruit: SelectBase = scope["fruit"]
        name: EntryBox = scope["name"]
        assert name._helperLabel.text() == "Pick a fruit below"
        fruit._selected_change({"key": "Banana", "value": "Banana"})
        assert fruit.value == "Banana"
        assert name._helperLabel.text() == "You chose Banana"
    finally:
        qapp.mainWindow = main_window
