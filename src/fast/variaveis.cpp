// Vermelho-preto e Jacobi com o operador variável de cinco pontos e com o de nove pontos: os laços dos suavizadores
// de referência (solver/lacos_ponto.h) com os núcleos de linha do conjunto de instruções da equipe. Numa thread,
// todas as varreduras numa só passada pela memória, em frente de onda de linhas, como em pontuais.cpp (a varredura s
// duas linhas atrás da s-1: o vermelho da linha r e o preto da r-1; o Jacobi calcula a linha r numa linha pendente e
// só então escreve a pendente da r-1); com várias threads (níveis grandes), cada cor (cada varredura de Jacobi)
// divide as linhas entre elas. Um ponto de uma cor só lê pontos da outra, e o Jacobi só valores de antes da
// varredura: cada ponto tem os mesmos operandos em qualquer ordem destas, e os bits não dependem das threads nem das
// instruções.
#include <algorithm>
#include <cstring>

#include "fast/rapido.h"

namespace {

constexpr long pontos_para_dividir = 1L << 16; // pontos internos a partir dos quais as linhas se dividem

// faixa(j0, j1, sozinha) sobre as linhas primeira..ultima, em faixas contíguas entre as threads nos níveis grandes
// (sozinha: uma faixa só, sem vizinhas). O lambda leva um só ponteiro: std::function sem alocação.
template <class N, class F>
void por_faixas(equipe& eq, const N& v, int primeira, int ultima, const F& faixa) {
    const int linhas = ultima - primeira + 1;
    const long pontos = static_cast<long>(v.nx - 2) * (v.ny - 2);
    const int n = pontos >= pontos_para_dividir ? std::min(eq.tamanho(), linhas) : 1;
    if (n <= 1) {
        faixa(primeira, ultima, true);
        return;
    }
    struct divisao {
        const F* faixa;
        int primeira, linhas, n;
    } d{&faixa, primeira, linhas, n};
    eq.executar(n, [&d](int h) {
        const int j0 = d.primeira + static_cast<int>(static_cast<long>(d.linhas) * h / d.n);
        const int j1 = d.primeira + static_cast<int>(static_cast<long>(d.linhas) * (h + 1) / d.n) - 1;
        (*d.faixa)(j0, j1, false);
    });
}

// Frente de onda numa thread: no passo t a varredura s faz o seu passo de linha r = 2 + t - 2s (s crescente).
template <class F>
void frente_de_linhas(int ny, int varreduras, const F& fazer) {
    for (int t = 0; 2 + t - 2 * (varreduras - 1) <= ny; ++t)
        for (int s = 0; s < varreduras; ++s) {
            const int r = 2 + t - 2 * s;
            if (r < 2) break;
            if (r <= ny) fazer(s, r);
        }
}

template <class N>
bool numa_thread(const N& v, const equipe& eq) {
    return eq.tamanho() == 1 || static_cast<long>(v.nx - 2) * (v.ny - 2) < pontos_para_dividir;
}

} // namespace

void vermelho_preto_variavel(const nivel_variavel& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const familia_varredura& k = familia_de(eq.instrucoes_pontuais());
    if (numa_thread(v, eq)) {
        frente_de_linhas(v.ny, varreduras, [&v, &k](int, int r) {
            if (r <= v.ny - 1) k.cor_variavel(v, r, 0);
            if (r - 1 >= 2) k.cor_variavel(v, r - 1, 1);
        });
        return;
    }
    for (int s = 0; s < varreduras; ++s)
        for (int paridade = 0; paridade <= 1; ++paridade)
            por_faixas(eq, v, 2, v.ny - 1, [&](int j0, int j1, bool sozinha) {
                // as linhas da divisa com o núcleo escalar, que só escreve os pontos da cor: os vetoriais regravam
                // os da outra, que a faixa vizinha está lendo
                for (int j = j0; j <= j1; ++j) {
                    if (!sozinha && (j == j0 || j == j1)) cor_variavel_linha(v, j, paridade, 2);
                    else k.cor_variavel(v, j, paridade);
                }
            });
}

namespace {

// Varreduras de Jacobi sobre o nível v (de cinco pontos variável ou de nove): linha(a, j, d) escreve em d os valores
// novos da linha j a partir das linhas j-1..j+1 de a.
template <class N, class F>
void jacobi_de(const N& v, double* copia, int varreduras, equipe& eq, const F& linha) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const long nx = v.nx;
    if (numa_thread(v, eq)) {
        // as linhas pendentes de cada varredura, duas que se alternam, no rascunho (nx*ny + 1 doubles): até ny/2
        // varreduras de cada vez
        const auto pendente = [copia, nx](int s, int r) { return copia + (2 * s + r % 2) * nx - 1; };
        const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(nx - 2);
        for (int feitas = 0, juntas = v.ny / 2; feitas < varreduras; feitas += juntas)
            frente_de_linhas(v.ny, std::min(juntas, varreduras - feitas), [&](int s, int r) {
                if (r <= v.ny - 1) linha(v.u, r, pendente(s, r));
                if (r - 1 >= 2) std::memcpy(v.u + (r - 2) * nx + 2, pendente(s, r - 1) + 2, bytes);
            });
        return;
    }
    for (int s = 0; s < varreduras; ++s) {
        por_faixas(eq, v, 1, v.ny, [&](int j0, int j1, bool) {
            std::memcpy(copia + 1 + (j0 - 1) * nx, v.u + 1 + (j0 - 1) * nx, sizeof(double) * nx * (j1 - j0 + 1));
        });
        por_faixas(eq, v, 2, v.ny - 1, [&](int j0, int j1, bool) {
            for (int j = j0; j <= j1; ++j) linha(copia, j, v.u + (j - 1) * nx);
        });
    }
}

} // namespace

void jacobi_variavel(const nivel_variavel& v, double* copia, int varreduras, equipe& eq) {
    const familia_varredura& k = familia_de(eq.instrucoes_pontuais());
    jacobi_de(v, copia, varreduras, eq, [&v, &k](const double* a, int j, double* d) { k.jacobi_variavel(v, a, j, d); });
}

void jacobi_nove(const nivel_nove& v, double* copia, int varreduras, equipe& eq) {
    const familia_varredura& k = familia_de(eq.instrucoes_pontuais());
    jacobi_de(v, copia, varreduras, eq, [&v, &k](const double* a, int j, double* d) { k.jacobi_nove(v, a, j, d); });
}

// Com nove pontos, numa thread: as linhas de uma cor em ordem, na mesma frente de onda (o vermelho da linha r lê as
// diagonais vermelhas da r-1, já feitas no passo anterior, e as da r+1, ainda da varredura anterior).
void vermelho_preto_nove(const nivel_nove& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const familia_varredura& k = familia_de(eq.instrucoes_pontuais());
    frente_de_linhas(v.ny, varreduras, [&v, &k](int, int r) {
        if (r <= v.ny - 1) k.cor_nove(v, r, 0);
        if (r - 1 >= 2) k.cor_nove(v, r - 1, 1);
    });
}

// A adjunta: os pretos e depois os vermelhos, cada cor de trás para a frente. A frente de cima espelhada (linha
// j = ny + 1 - r): o preto da linha j e o vermelho da j + 1. Numa linha os pontos de uma cor não se tocam, e a
// ordem das colunas não conta.
void vermelho_preto_nove_adjunto(const nivel_nove& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const familia_varredura& k = familia_de(eq.instrucoes_pontuais());
    frente_de_linhas(v.ny, varreduras, [&v, &k](int, int r) {
        const int j = v.ny + 1 - r;
        if (j >= 2) k.cor_nove(v, j, 1);
        if (j + 1 <= v.ny - 1) k.cor_nove(v, j + 1, 0);
    });
}
