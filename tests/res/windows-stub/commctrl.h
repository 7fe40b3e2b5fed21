// The progress bar style the resource script uses.
#define PBS_SMOOTH 0x01
