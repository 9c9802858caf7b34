"""The components' diagnostic lines: on by default, off from the environment or at run time."""
import os
import subprocess
import sys

import vantu
from vantu.material.component import RenderContext
from vantu.material.entrybox.entrybox import EntryBox
from vantu.material.select.pickcore import SelectBase


def choose_in_both_components(qtbot):
    field = SelectBase(options=["a", "b"])
    qtbot.addWidget(field)
    field._selected_change({"key": "a", "value": "a"})
    box = EntryBox(select=True, multiple=True, options=["a", "b"], getOptionLabel=str).renderUi(RenderContext())
    qtbot.addWidget(box)
    box._input.select_selected_change({"key": "b"})
    box._input.select_selected_change({"key": "b"})  # taken out again: the line of this module


def test_set_diagnostics_silences_every_module_and_turns_them_back_on(qtbot, capsys):
    try:
        vantu.set_diagnostics(False)
        assert not vantu.diagnostics_enabled()
        choose_in_both_components(qtbot)
        assert capsys.readouterr().out == ""
    finally:
        vantu.set_diagnostics(True)
    choose_in_both_components(qtbot)
    out = capsys.readouterr().out
    assert "data______________ {'key': 'a', 'value': 'a'}" in out
    assert "select_selected_change___________values []" in out


def test_vantu_diagnostics_0_in_the_environment_silences_them():
    code = ("from PySide6.QtWidgets import QApplication; app = QApplication([]); import vantu; "
            "from vantu.material.select.pickcore import SelectBase; "
            "f = SelectBase(options=['a']); f.setValue('a'); print('done', vantu.diagnostics_enabled())")
    env = {**os.environ, "VANTU_DIAGNOSTICS": "0", "QT_QPA_PLATFORM": "offscreen"}
    done = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, timeout=120, env=env)
    assert done.returncode == 0, done.stderr
    assert done.stdout == "done False\n"
