"""Cost of calling a method defined from C++ against the same method written in Python."""
from __future__ import annotations

from PySide6.QtWidgets import QWidget

from bench.timing import Benchmark
from vantu._testing._classdef_probe import ProbeWidget
from vantu._testing.probe_mixin import ProbeMixin

CALLS = 20_000


class PyProbe(QWidget, ProbeMixin):
    def __init__(self, parent=None, *args, **kwargs):
        QWidget.__init__(self, parent)
        ProbeMixin.__init__(self, **kwargs)
        self.events = []
        self.setObjectName(f"ProbeWidget-{id(self)}")

    def typed(self, data: dict, text: str):
        if type(data) is not dict:
            raise TypeError("data")
        if type(text) is not str:
            raise TypeError("text")
        return (data, text)


def benchmarks():
    native, python = ProbeWidget(), PyProbe()
    data = {"key": 1}

    def call_native():
        f = native.typed
        for _ in range(CALLS):
            f(data, "x")

    def call_python():
        f = python.typed
        for _ in range(CALLS):
            f(data, "x")

    def build_native():
        for _ in range(200):
            ProbeWidget().deleteLater()

    def build_python():
        for _ in range(200):
            PyProbe().deleteLater()

    return [
        Benchmark(f"classdef: {CALLS} checked method calls, C++ vs Python", call_native, call_python, target=1.2),
        # Each side takes a few milliseconds: many rounds keep the median steady.
        Benchmark("classdef: construct 200 widgets, C++ vs Python __init__", build_native, build_python, target=1.2,
                  rounds=41),
    ]
