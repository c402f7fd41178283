"""A stand-in for matplotlib where it is not installed (it is an optional dependency of the
spanlab package): just enough of it for the README's example to run, so that the example's
printed output is still checked. Its figures save a one-pixel PNG."""


def use(backend):
    pass
