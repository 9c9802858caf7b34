"""Tabs: a tab bar over a stack of pages, one page per child."""
from __future__ import annotations

from collections.abc import Callable, Sequence

from PySide6.QtCore import Signal
from PySide6.QtWidgets import QBoxLayout, QStackedWidget, QTabBar, QWidget

from vantu.hooks import useEffect
from vantu.i18n.use_translation import i18n
from vantu.material._container_base import ContainerBase, check_number
from vantu.material.component import Component
from vantu.material.styles import useTheme
from vantu.material.tab import Tab
from vantu.utils.translator import getTranslatedText

__all__ = ["Tabs"]


class Tabs(ContainerBase):
    """Shows one child at a time, chosen with a Material tab bar.

    A ``Tab`` child gives its title to the bar; any other child is labelled
    by its position ("1", "2", ...).

    Signals:
        currentChanged(int): the index of the page now shown.
    """

    currentChanged = Signal(int)

    def __init__(
        self,
        children: Sequence[Component | QWidget] | None = None,
        *,
        value: int = 0,
        onChange: Callable[[int], object] | None = None,
    ) -> None:
        """Args:
            children: the pages, ``Tab`` components as a rule.
            value: index of the page shown first.
            onChange: called with the new index when the user picks another tab.
        """
        ContainerBase.__init__(self, children)
        self._value = int(check_number("value", value, 0, integer=True))
        self._onChange = onChange

    def _setup(self) -> None:
        layout = self._box(self, QBoxLayout.Direction.TopToBottom, 0)
        self.tabBar = QTabBar(self)
        self.tabBar.setObjectName("TabsBar")
        self.tabBar.setDrawBase(False)
        self.tabBar.setExpanding(False)
        self.pages = QStackedWidget(self)
        layout.addWidget(self.tabBar)
        layout.addWidget(self.pages, 1)
        self._layout = layout
        self._body = self.pages
        self.tabBar.currentChanged.connect(self._handle_bar_changed)
        self._style_bar()
        # Polished now, the bar reports its styled size from its first tab on; polished at the
        # first show, its layout would keep the unstyled size.
        self.tabBar.ensurePolished()
        useEffect(self._style_bar, [useTheme().state], component=self)
        i18n.langChanged.connect(self._retranslate)

    def _style_bar(self) -> None:
        palette = useTheme().palette
        primary = palette["primary"]["main"]
        self.tabBar.setStyleSheet(
            "QTabBar::tab { background: transparent; border: none; border-bottom: 2px solid transparent;"
            f" padding: 12px 16px; color: {palette['text']['secondary']}; font-weight: 500; }}"
            f" QTabBar::tab:selected {{ color: {primary}; border-bottom-color: {primary}; }}"
            f" QTabBar::tab:hover {{ background: {palette['action']['hover']}; }}"
        )

    def _title_of(self, index: int) -> str:
        child = self._children[index]
        return child.title() if isinstance(child, Tab) else str(index + 1)

    def _retranslate(self, *_ignored: object) -> None:
        for index in range(self.tabBar.count()):
            self.tabBar.setTabText(index, getTranslatedText(self._title_of(index)))
        self.tabBar.updateGeometry()

    def _place_child(self, widget: QWidget, index: int) -> None:
        title = self._title_of(index)
        self.pages.addWidget(widget)
        # Building is not the user's pick: no onChange for the tabs that appear.
        self._user_pick = False
        try:
            self.tabBar.addTab(getTranslatedText(title))
            if index == self._value:
                self.tabBar.setCurrentIndex(index)
        finally:
            self._user_pick = True
        # A hidden tab bar does not report its new size; the layout would keep the size of a
        # bar without tabs and squeeze the bar built before the page is shown.
        self.tabBar.updateGeometry()

    def _handle_bar_changed(self, index: int) -> None:
        if index < 0 or index >= self.pages.count():
            return
        self.pages.setCurrentIndex(index)
        self.currentChanged.emit(index)
        if self._user_pick and callable(self._onChange):
            self._onChange(index)

    _user_pick = True

    def currentIndex(self) -> int:
        """Index of the page shown (-1 while there is none)."""
        return self.tabBar.currentIndex()

    def setCurrentIndex(self, index: int) -> None:
        """Show page ``index``; the application's ``onChange`` is not called."""
        self._user_pick = False
        try:
            self.tabBar.setCurrentIndex(index)
        finally:
            self._user_pick = True
