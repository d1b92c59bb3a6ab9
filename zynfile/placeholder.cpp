namespace zynfile_detail {
int Placeholder() { return 0; }
}
