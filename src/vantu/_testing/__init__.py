"""Test support shipped with the package: a widget class defined from C++."""
