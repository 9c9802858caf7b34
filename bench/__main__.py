"""Runs every bench/bench_*.py (or those named on the command line) and prints median ratios.

Usage: python -m bench [name-fragment ...] [--rounds N] [--name TITLE-FRAGMENT ...]
"""
from __future__ import annotations

import argparse
import contextlib
import importlib
import os
import pathlib
import platform
import sys

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")

from bench.timing import report, run  # noqa: E402


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(prog="python -m bench")
    parser.add_argument("only", nargs="*", help="run benchmark files whose name contains one of these")
    parser.add_argument("--rounds", type=int, default=None)
    parser.add_argument("--name", action="append", default=None,
                        help="run only benchmarks whose title contains this text (may be repeated)")
    args = parser.parse_args(argv)

    from PySide6 import __version__ as pyside_version
    from PySide6.QtCore import qInstallMessageHandler, qVersion
    from PySide6.QtWidgets import QApplication, QMainWindow

    # The offscreen platform's feature warnings and the components' diagnostic lines would
    # bury the report; both are still produced (and paid for) while timing.
    qInstallMessageHandler(lambda *_: None)
    report_to = sys.stdout
    app = QApplication.instance() or QApplication([])
    window = QMainWindow()
    window.resize(1024, 768)
    window.show()
    app.mainWindow = window

    print(f"Python {platform.python_version()}, PySide6 {pyside_version}, Qt {qVersion()}, "
          f"{platform.machine()}, platform {app.platformName()}; release build; medians of interleaved rounds")
    folder = pathlib.Path(__file__).parent
    for path in sorted(folder.glob("bench_*.py")):
        if args.only and not any(part in path.stem for part in args.only):
            continue
        with open(os.devnull, "w") as sink, contextlib.redirect_stdout(sink):
            module = importlib.import_module(f"bench.{path.stem}")
            benches = module.benchmarks()
        for bench in benches:
            if args.name and not any(part in bench.name for part in args.name):
                continue
            with open(os.devnull, "w") as sink, contextlib.redirect_stdout(sink):
                result = run(bench, args.rounds)
            print(report(result), file=report_to, flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
