// A stand-in for the emulator, for tests. Extended by the launch tests.
int main() { return 0; }
