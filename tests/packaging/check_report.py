"""How the packaging checks end: every problem on its own line and exit status 1, or one line
saying what was found sound and exit status 0."""


def finish(problems, sound):
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print(sound)
    return 0
