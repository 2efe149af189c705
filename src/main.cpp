// Program entry; replaced by the real entry with the start-up sequence.
int main() { return 0; }
