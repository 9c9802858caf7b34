"""Loading the package's modules in any order, and stubs that match the native classes."""
from __future__ import annotations

import ast
import os
import pathlib
import subprocess
import sys

import pytest

import vantu.material.entrybox as package
from vantu.material.entrybox._select import EntryBoxSelectMixin, MenuView
from vantu.material.entrybox.entrybox import EntryBox

FOLDER = pathlib.Path(package.__file__).parent


@pytest.mark.parametrize(
    "first",
    ["vantu.material.entrybox.entrybox", "vantu.material.entrybox._input_base", "vantu.material.entrybox._select",
     "vantu.material.entrybox"],
)
def test_each_module_loads_first_in_a_fresh_interpreter(first):
    code = f"import {first}; from vantu.material.entrybox import EntryBox, InputBase, EntryBoxSelectMixin, MenuView"
    # A bare environment, but for a sanitizer run's preloaded runtimes and their options.
    kept = {k: v for k, v in os.environ.items() if k in ("LD_PRELOAD", "PYTHONMALLOC") or k.endswith("SAN_OPTIONS")}
    done = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, timeout=120,
                          env={"QT_QPA_PLATFORM": "offscreen", "PATH": "", **kept})
    assert done.returncode == 0, done.stderr


def test_package_names_are_the_native_classes():
    assert package.EntryBox is EntryBox and package.MenuView is MenuView
    assert package.EntryBoxSelectMixin is EntryBoxSelectMixin


def stub_methods(stub: str, name: str) -> set[str]:
    tree = ast.parse((FOLDER / stub).read_text())
    cls = next(n for n in tree.body if isinstance(n, ast.ClassDef) and n.name == name)
    return {n.name for n in cls.body if isinstance(n, ast.FunctionDef)}


@pytest.mark.parametrize(
    "stub, cls", [("entrybox.pyi", EntryBox), ("_select.pyi", EntryBoxSelectMixin), ("_select.pyi", MenuView)]
)
def test_stubs_name_every_method_of_the_native_class(stub, cls):
    own = {name for name, value in vars(cls).items() if callable(value) or isinstance(value, classmethod)}
    own = {name for name in own if not type(vars(cls)[name]).__name__ == "Signal"}
    assert stub_methods(stub, cls.__name__) == own
