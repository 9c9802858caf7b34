"""Material Design components and the services they share (theme, base classes, icons)."""
