// The program that one module is linked into whole (vantric_module in
// cmake/Vantric.cmake): it runs nothing; linking it proves that every file of the
// module finds what it calls in the modules below.
int main() { return 0; }
