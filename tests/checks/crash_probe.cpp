// Faults on purpose: a null pointer write.
int main()
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
