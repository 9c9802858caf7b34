"""The option list used by the select popups."""
from vantu.material.list_view.list_view import ListView

__all__ = ["ListView"]
