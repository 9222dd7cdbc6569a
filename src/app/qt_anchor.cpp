// Keeps the Qt layer library non-empty while its folders fill up.
namespace ventrel::qt_layers {
int anchor() { return 0; }
}  // namespace ventrel::qt_layers
