"""Deferred content: build a component tree in chunks behind a fallback widget."""
from typing import Callable, Optional

from PySide6.QtCore import QObject
from PySide6.QtWidgets import QWidget

from vantu.material.component import Component

def estimate_steps(node: Component) -> int:
    """Number of build steps under `node`: one for every child of every container reached
    from it through containers; 0 for a non-container."""

class Lazy(QWidget):
    """Builds `root_component` through a chunked render scheduler while `fallback` is shown,
    and reveals the built content 100 ms after the build has finished."""

    def __init__(
        self,
        root_component: Component,
        fallback: Optional[QWidget] = None,
        onProgress: Optional[Callable] = None,
        onFinished: Optional[Callable] = None,
        parent: Optional[QWidget] = None,
    ) -> None: ...

class _LazyFinish(QObject):
    def __init__(self, owner: QObject, fallback: Optional[QWidget], placeholder: QWidget, real_container: QWidget) -> None: ...
    def eventFilter(self, obj: QObject, event: object) -> bool: ...
    def on_finished(self) -> None: ...
    def _reveal(self) -> None: ...
