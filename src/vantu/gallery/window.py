"""The gallery's main window: a tool bar with the theme, language and direction switches, a
page list on the left and the pages on the right."""
from __future__ import annotations

from pathlib import Path

from PySide6.QtCore import QEvent, QSize, Qt
from PySide6.QtWidgets import (
    QApplication,
    QButtonGroup,
    QFrame,
    QHBoxLayout,
    QLabel,
    QListWidget,
    QMainWindow,
    QPushButton,
    QScrollArea,
    QSizePolicy,
    QStackedWidget,
    QToolBar,
    QVBoxLayout,
    QWidget,
)

from vantu import apply_theme
from vantu.gallery.pages._shots import settle
from vantu.gallery import texts, theme_sheet
from vantu.gallery.pages import PAGES
from vantu.hooks import useEffect
from vantu.i18n.use_translation import i18n, set_language, translate
from vantu.material.styles import set_theme_mode, useTheme


SHOT_LOOKS: tuple[tuple[str, str, str], ...] = tuple(
    (theme, language, direction)
    for theme in ("light", "dark") for language in ("en", "vi") for direction in ("ltr", "rtl"))
"""Every look the screenshots are taken in: (theme, language, direction)."""

DIRECTIONS = {"ltr": Qt.LayoutDirection.LeftToRight, "rtl": Qt.LayoutDirection.RightToLeft}


def set_direction(direction: str) -> None:
    """Lays the whole application out left to right ("ltr") or right to left ("rtl")."""
    QApplication.setLayoutDirection(DIRECTIONS[direction])


def current_direction() -> str:
    return "rtl" if QApplication.layoutDirection() == Qt.LayoutDirection.RightToLeft else "ltr"


def shot_name(index: int, key: str, extra: str | None, look: tuple[str, str, str], scale: float) -> str:
    """File name of a screenshot: page, popup, look and scale, so that every shot of every
    scale can share one folder: "02-entrybox-popup-dark-vi-rtl@2x.png"."""
    theme, language, direction = look
    popup = f"-{extra}" if extra else ""
    return f"{index + 1:02d}-{key}{popup}-{theme}-{language}-{direction}@{scale:g}x.png"


class GalleryWindow(QMainWindow):
    """Every component family on its own page; switches change every page at once."""

    def __init__(self) -> None:
        super().__init__()
        texts.install()
        # The application follows the theme first: window, palette and scroll bars.
        apply_theme(QApplication.instance())
        self.setObjectName("GalleryWindow")
        self.resize(1180, 800)
        self.theme = useTheme()
        # The window's font is the application's, so components that size their own text keep it.
        font = QApplication.font()
        font.setPixelSize(14)
        QApplication.setFont(font)

        bar = QToolBar(self)
        bar.setObjectName("GalleryToolBar")
        bar.setMovable(False)
        self.addToolBar(Qt.ToolBarArea.TopToolBarArea, bar)
        self._title = QLabel(bar)
        self._title.setObjectName("GalleryTitle")
        bar.addWidget(self._title)
        spacer = QWidget(bar)
        spacer.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Preferred)
        bar.addWidget(spacer)
        self._switches: dict[str, QPushButton] = {}
        self._theme_group = self._segmented(bar, (("light", "Light"), ("dark", "Dark")), self._on_theme_clicked)
        bar.addSeparator()
        self._lang_group = self._segmented(bar, (("en", "English"), ("vi", "Vietnamese")), self._on_lang_clicked)
        bar.addSeparator()
        self._direction_group = self._segmented(bar, (("ltr", "Left to right"), ("rtl", "Right to left")),
                                                self._on_direction_clicked)
        self._show_switch_state()

        body = QWidget(self)
        layout = QHBoxLayout(body)
        layout.setContentsMargins(0, 0, 0, 0)
        layout.setSpacing(0)
        self.nav = QListWidget(body)
        self.nav.setObjectName("GalleryNav")
        self.nav.setFixedWidth(200)
        self.stack = QStackedWidget(body)
        self.stack.setObjectName("GalleryStack")
        layout.addWidget(self.nav)
        layout.addWidget(self.stack, 1)
        self.setCentralWidget(body)

        self.pages: list[tuple[str, str, QWidget]] = []
        for key, title, build in PAGES:
            scroll = QScrollArea(self.stack)
            scroll.setObjectName(f"GalleryPage-{key}")
            scroll.setWidgetResizable(True)
            scroll.setFrameShape(QFrame.Shape.NoFrame)
            page = build(self)
            page.setObjectName(f"GalleryContent-{key}")
            scroll.setWidget(page)
            self.stack.addWidget(scroll)
            self.pages.append((key, title, page))
            self.nav.addItem(translate(title))
        self.nav.currentRowChanged.connect(self.stack.setCurrentIndex)
        self.nav.setCurrentRow(0)

        useEffect(self._apply_theme, [self.theme.state], component=self)
        i18n.langChanged.connect(self._retranslate)
        self._apply_theme()
        self._retranslate()

    def _segmented(self, bar: QToolBar, items, on_click) -> QButtonGroup:
        group = QButtonGroup(bar)
        group.setExclusive(True)
        for key, text in items:
            button = QPushButton(bar)
            button.setObjectName(f"Switch-{key}")
            button.setProperty("textKey", text)
            button.setCheckable(True)
            button.setCursor(Qt.CursorShape.PointingHandCursor)
            group.addButton(button)
            bar.addWidget(button)
            self._switches[key] = button
        group.buttonClicked.connect(on_click)
        return group

    def _on_theme_clicked(self, button: QPushButton) -> None:
        set_theme_mode(button.objectName().removeprefix("Switch-"))

    def _on_lang_clicked(self, button: QPushButton) -> None:
        set_language(button.objectName().removeprefix("Switch-"))

    def _on_direction_clicked(self, button: QPushButton) -> None:
        set_direction(button.objectName().removeprefix("Switch-"))

    def changeEvent(self, event) -> None:
        super().changeEvent(event)
        if event.type() == QEvent.Type.LayoutDirectionChange and hasattr(self, "_switches"):
            self._show_switch_state()

    def _apply_theme(self) -> None:
        self.setStyleSheet(theme_sheet.window_sheet(self.theme))
        self._show_switch_state()

    def _show_switch_state(self) -> None:
        """The switches show the theme, language and direction in force, however they were changed."""
        for key in (self.theme.mode, i18n.lang, current_direction()):
            button = self._switches.get(key)
            if button is not None and not button.isChecked():
                button.setChecked(True)

    def _retranslate(self, *_ignored) -> None:
        self._show_switch_state()
        self._title.setText(translate("vantu gallery"))
        for button in self._switches.values():
            button.setText(translate(button.property("textKey")))
        for row, (_key, title, _page) in enumerate(self.pages):
            self.nav.item(row).setText(translate(title))

    def show_page(self, key: str) -> QWidget:
        """Brings the page `key` to the front and returns its content widget."""
        for row, (page_key, _title, page) in enumerate(self.pages):
            if page_key == key:
                self.nav.setCurrentRow(row)
                return page
        raise KeyError(key)

    def save_screenshots(self, folder: Path, looks=SHOT_LOOKS) -> list[Path]:
        """Saves every page, and every popup the pages open, as PNG files in `folder`, in each
        of `looks` (theme, language, direction); the names carry the look and the scale."""
        folder.mkdir(parents=True, exist_ok=True)
        saved: list[Path] = []
        scale = self.devicePixelRatioF()
        before = (self.theme.mode, i18n.lang, current_direction())
        try:
            for look in looks:
                theme_mode, language, direction = look
                set_theme_mode(theme_mode)
                set_language(language)
                set_direction(direction)
                for index, (key, _title, page) in enumerate(self.pages):
                    self.show_page(key)
                    settle(5)
                    path = folder / shot_name(index, key, None, look, scale)
                    self.grab().save(str(path))
                    saved.append(path)
                    extra = getattr(page, "extra_screenshots", None)
                    for name, image in (extra(self) if extra is not None else []):
                        shot = folder / shot_name(index, key, name, look, scale)
                        image.save(str(shot))
                        saved.append(shot)
        finally:
            set_theme_mode(before[0])
            set_language(before[1])
            set_direction(before[2])
            self.show_page(self.pages[0][0])
        return saved
