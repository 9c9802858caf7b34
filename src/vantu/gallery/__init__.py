"""The vantu gallery: one page per component family, run with ``python -m vantu.gallery``."""
