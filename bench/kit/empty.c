/* Does nothing: its run time under Wine is the bare cost of starting a process. */
int main(void) { return 0; }
