"""The gallery window's own style sheet, from the theme's palette (the application palette
comes from ``vantu.apply_theme``)."""
from __future__ import annotations

from vantu.material.styles import Theme


def window_sheet(theme: Theme) -> str:
    p = theme.palette
    return f"""
QMainWindow, QScrollArea, QScrollArea > QWidget > QWidget, QStackedWidget {{
    background: {p["background"]["default"]}; color: {p["text"]["primary"]};
}}
QToolBar#GalleryToolBar {{
    background: {p["background"]["paper"]}; border: none; border-bottom: 1px solid {p["divider"]};
    padding: 6px 12px; spacing: 6px;
}}
QToolBar#GalleryToolBar::separator {{ background: {p["divider"]}; width: 1px; margin: 10px 8px; }}
QLabel#GalleryTitle {{ color: {p["primary"]["main"]}; font-size: 18px; font-weight: 600; padding-right: 16px; }}
QToolBar#GalleryToolBar QPushButton {{
    background: transparent; color: {p["text"]["primary"]}; border: 1px solid {p["outline"]};
    border-radius: 16px; padding: 0px 14px; min-height: 30px; max-height: 30px;
}}
QToolBar#GalleryToolBar QPushButton:hover {{ background: {p["action"]["hover"]}; }}
QToolBar#GalleryToolBar QPushButton:checked {{
    background: {p["primary"]["main"]}; color: {p["primary"]["contrastText"]}; border-color: {p["primary"]["main"]};
}}
QListWidget#GalleryNav {{
    background: {p["background"]["paper"]}; color: {p["text"]["primary"]}; border: none;
    border-right: 1px solid {p["divider"]}; padding: 8px 0px; outline: none;
}}
QListWidget#GalleryNav::item {{ height: 40px; padding: 0px 16px; border-radius: 20px; margin: 2px 8px; }}
QListWidget#GalleryNav::item:selected {{ background: {p["action"]["selected"]}; color: {p["primary"]["main"]}; }}
QStackedWidget QPushButton {{
    background: transparent; color: {p["primary"]["main"]}; border: 1px solid {p["outline"]};
    border-radius: 20px; padding: 0px 24px; min-height: 38px; max-height: 38px; font-weight: 600;
}}
QStackedWidget QPushButton:hover {{ background: {p["action"]["hover"]}; }}
QStackedWidget QPushButton:pressed {{ background: {p["action"]["selected"]}; }}
QProgressBar {{
    border: none; background: {p["action"]["selected"]}; height: 6px; border-radius: 3px;
    color: {p["text"]["secondary"]}; text-align: center;
}}
QProgressBar::chunk {{ background: {p["primary"]["main"]}; border-radius: 3px; }}
QScrollBar:vertical {{ background: transparent; width: 10px; margin: 2px; }}
QScrollBar::handle:vertical {{ background: {p["divider"]}; border-radius: 3px; min-height: 32px; }}
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical {{ height: 0px; }}
QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical {{ background: transparent; }}
QScrollBar:horizontal {{ background: transparent; height: 10px; margin: 2px; }}
QScrollBar::handle:horizontal {{ background: {p["divider"]}; border-radius: 3px; min-width: 32px; }}
QScrollBar::add-line:horizontal, QScrollBar::sub-line:horizontal {{ width: 0px; }}
QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal {{ background: transparent; }}
QLabel[role="pageTitle"] {{ font-size: 24px; color: {p["text"]["primary"]}; }}
QLabel[role="caption"] {{ font-size: 12px; color: {p["text"]["secondary"]}; }}
QLabel[role="section"] {{ font-size: 16px; font-weight: 600; color: {p["text"]["primary"]}; padding-top: 8px; }}
"""
