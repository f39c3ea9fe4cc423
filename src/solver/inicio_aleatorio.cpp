// Início aleatório: o interior de T com valores uniformes em [-1, 1) do gerador splitmix64, os mesmos em toda máquina.
#include "solver/solver.h"

double proximo_aleatorio(std::uint64_t& s) {
    s = s + 0x9E3779B97F4A7C15u;
    std::uint64_t z = s;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    z = z ^ (z >> 31);
    return (static_cast<double>(z >> 11) * 0x1p-53) * 2.0 - 1.0;
}

void campo_aleatorio(estado_execucao& e, std::uint64_t semente) {
    const long nx = e.nxk;
    for (double& v : e.T) v = 0.0;
    std::uint64_t s = semente;
    for (long j = 2; j <= e.nyk - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) e.T[static_cast<std::size_t>(i + (j - 1) * nx)] = proximo_aleatorio(s);
}
