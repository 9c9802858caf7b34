"""Plain-Python mixin of the probe widget: no Qt state, safe to run twice."""


class ProbeMixin:
    def __init__(self, **kwargs):
        self.mixin_runs = getattr(self, "mixin_runs", 0) + 1
        if kwargs:
            self.options = dict(kwargs)
