// Tabela do campo T na listagem: blocos de até oito colunas da grade, todas as linhas em cada bloco.
#include "report/listagem.h"

// Blocos de até oito colunas da grade, cada um com todas as linhas j = 1..nyk.
void escrever_campo_T(const double* T, int nyk, int nxk, int nxyk, saida_texto& saida) {
    (void)nxyk;
    std::string l;
    for (int b = 1; 8L * (b - 1) < nxk; ++b) {
        saida.linha("");
        saida.linha("  parte " + inteiro(b, 3));
        const int i0 = 8 * (b - 1) + 1, i1 = nxk < 8 * b ? nxk : 8 * b;
        for (int j = 1; j <= nyk; ++j) {
            l.clear();
            for (int i = i0; i <= i1; ++i) l += cientifico(T[i + (j - 1L) * nxk], 15, 6);
            saida.linha(l);
        }
    }
}
