"""vantu: Material Design widgets for PySide6 desktop applications.

The package root stays light on purpose: importing ``vantu`` loads nothing
from Qt. Components live in their own modules (``vantu.material.select``,
``vantu.material.entrybox``, ``vantu.deferpane``) and the services they share
in ``vantu.hooks``, ``vantu.material.styles``, ``vantu.i18n`` and
``vantu.utils``.
"""
