"""Starts the gallery. Without a display (or with --screenshot DIR) it runs offscreen,
saves a PNG of every page into DIR and exits."""
from __future__ import annotations

import argparse
import os
import sys
from pathlib import Path

DEFAULT_SHOTS = Path("screenshots") / "gallery"


def _has_display() -> bool:
    return bool(os.environ.get("DISPLAY") or os.environ.get("WAYLAND_DISPLAY")) or sys.platform in ("win32", "darwin")


def _offscreen_screen() -> str:
    """A screen larger than the window, so popups are placed as on a desktop (the offscreen
    platform's own screen is 800x600, smaller than the gallery)."""
    import json
    import tempfile

    config = {"screens": [{"name": "gallery", "x": 0, "y": 0, "width": 1600, "height": 1000,
                           "logicalDpi": 96, "dpr": 1}]}
    with tempfile.NamedTemporaryFile("w", suffix=".json", prefix="vantu-screen-", delete=False) as f:
        json.dump(config, f)
    return f.name


def _quiet_offscreen(mode, context, message: str) -> None:
    # The offscreen platform warns about window features it lacks; nothing a user can act on.
    if "does not support" in message:
        return
    sys.stderr.write(message + "\n")


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(prog="python -m vantu.gallery", description=__doc__)
    parser.add_argument("--screenshot", metavar="DIR", type=Path, default=None,
                        help=f"run offscreen, save a PNG per page into DIR and exit (default without a display: {DEFAULT_SHOTS})")
    args = parser.parse_args(argv)

    shots = args.screenshot
    # No display to show a window on: an event loop would wait forever (QT_QPA_PLATFORM=offscreen
    # set by a CI job, say), so save the screenshots and exit whatever the platform asked for.
    if shots is None and not _has_display():
        shots = DEFAULT_SHOTS
    if shots is not None:
        os.environ["QT_QPA_PLATFORM"] = "offscreen:configfile=" + _offscreen_screen()

    from PySide6.QtCore import qInstallMessageHandler
    from PySide6.QtWidgets import QApplication

    from vantu.gallery.window import GalleryWindow

    if shots is not None:
        qInstallMessageHandler(_quiet_offscreen)

    app = QApplication.instance() or QApplication(sys.argv[:1])
    app.setApplicationName("vantu gallery")
    window = GalleryWindow()
    app.mainWindow = window
    window.show()
    if shots is not None:
        saved = window.save_screenshots(shots)
        print(f"saved {len(saved)} screenshots into {shots.resolve()}")
        for path in saved:
            print(f"  {path.name}")
        window.close()
        return 0
    return app.exec()


if __name__ == "__main__":
    sys.exit(main())
