"""Reactive values for components: ``State``, ``useState`` and ``useEffect``."""
from vantu.hooks.use_state import State, useEffect, useState

__all__ = ["State", "useState", "useEffect"]
