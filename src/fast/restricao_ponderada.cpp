// Meia ponderação e ponderação completa na passada rápida: cada linha fina tem os resíduos calculados uma vez, logo
// que os fica podendo ter (as linhas vizinhas já finais), em três linhas que giram; com a linha 2J sai a linha
// grossa J, com as contas e o agrupamento da restrição de referência (solver/restricoes.cpp):
//   meia:     (4.0*r(P) + ((r(P-1) + r(P+1)) + (r(P-nx) + r(P+nx)))) * 0.125
//   completa: ((4.0*r(P) + 2.0*((r(P-1) + r(P+1)) + (r(P-nx) + r(P+nx))))
//              + ((r(P-nx-1) + r(P-nx+1)) + (r(P+nx-1) + r(P+nx+1)))) * 0.0625
#include "fast/rapido.h"

namespace {

double* linha_de_residuos(plano_nivel& pl, int nx, int j) {
    return pl.residuos.data() + (j % 3) * static_cast<long>(nx + 1);
}

void combinar_meia(const double* s, const double* c, const double* n, double* d, int nxc) {
    for (int I = 2; I <= nxc - 1; ++I) {
        const int i = 2 * I - 1;
        d[I] = (4.0 * c[i] + ((c[i - 1] + c[i + 1]) + (s[i] + n[i]))) * 0.125;
    }
}

void combinar_completa(const double* s, const double* c, const double* n, double* d, int nxc) {
    for (int I = 2; I <= nxc - 1; ++I) {
        const int i = 2 * I - 1;
        d[I] = ((4.0 * c[i] + 2.0 * ((c[i - 1] + c[i + 1]) + (s[i] + n[i])))
                + ((s[i - 1] + s[i + 1]) + (n[i - 1] + n[i + 1]))) * 0.0625;
    }
}

} // namespace

void restringir_ponderada(const passada& p, plano_nivel& pl, int j) {
    pl.pontual->residuos(p, j, linha_de_residuos(pl, p.nx, j));
    if (j % 2 != 0 || j < 4) return;
    const double* s = linha_de_residuos(pl, p.nx, j - 2);
    const double* c = linha_de_residuos(pl, p.nx, j - 1);
    const double* n = linha_de_residuos(pl, p.nx, j);
    double* d = p.direito_grosso + (j / 2 - 1) * static_cast<long>(p.nxc);
    if (p.pedido.restricao == restricao_passada::meia) combinar_meia(s, c, n, d, p.nxc);
    else combinar_completa(s, c, n, d, p.nxc);
}
