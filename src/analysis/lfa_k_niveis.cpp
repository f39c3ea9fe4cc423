// Análise de Fourier local de k níveis do ciclo da rodada (V, W ou F): o símbolo montado recursivamente, o ciclo de
// cada nível grosso dentro da correção grossa do nível acima, e o seu raio espectral máximo (doc/metodo.md, 10).
#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/analise.h"
#include "state/componentes.h"

// Espaço de um nível com d níveis abaixo dele (ele incluído) na frequência base t: os 4^(d-1) harmônicos que
// coincidem no nível mais grosso, freq_d(t)[a + 4 b] = freq_{d-1}(2 t)[b] / 2 + pi (a & 1, a >> 1), freq_1(t) = [t].
// A frequência grossa b do nível abaixo é Phi_b = freq_{d-1}(2 t)[b]; os quatro harmônicos a de Phi_b / 2 formam o
// bloco b, onde o suavizador age (simbolo_suavizador com a base Phi_b / 2) e de onde a restrição leva a Phi_b.
//   M_1 = 0 (resolvido) ou s(Phi)^N (N varreduras de um suavizador que mantém cada modo)
//   M_d = S_pos^nu2 (I - P (I - C) L_H^-1 R L) S^nu1,  C = M_{d-1} (V), M_{d-1}^2 (W), M_{d-1,V} M_{d-1,F} (F)
//   (S_pos = S, ou a varredura adjunta com --post-order adjoint)

namespace {

using std::numbers::pi;

// Matriz quadrada n x n por linhas.
struct matriz {
    int n = 0;
    std::vector<complexo> v;
    explicit matriz(int tamanho) : n(tamanho), v(static_cast<std::size_t>(tamanho) * tamanho, 0.0) {}
    complexo& operator()(int i, int j) { return v[static_cast<std::size_t>(i) * n + j]; }
    complexo operator()(int i, int j) const { return v[static_cast<std::size_t>(i) * n + j]; }
};

matriz identidade(int n) {
    matriz m(n);
    for (int i = 0; i < n; ++i) m(i, i) = 1.0;
    return m;
}

matriz vezes(const matriz& a, const matriz& b) {
    matriz c(a.n);
    for (int i = 0; i < a.n; ++i)
        for (int k = 0; k < a.n; ++k) {
            const complexo x = a(i, k);
            if (x == 0.0) continue;
            for (int j = 0; j < a.n; ++j) c(i, j) += x * b(k, j);
        }
    return c;
}

int harmonicos(int d) { return 1 << (2 * (d - 1)); }

// As frequências do espaço de d níveis na base (t1, t2).
void frequencias(int d, double t1, double t2, std::vector<std::array<double, 2>>& f) {
    if (d == 1) {
        f.assign(1, {t1, t2});
        return;
    }
    std::vector<std::array<double, 2>> grossas;
    frequencias(d - 1, 2.0 * t1, 2.0 * t2, grossas);
    f.assign(grossas.size() * 4, {});
    for (std::size_t b = 0; b < grossas.size(); ++b)
        for (int a = 0; a < 4; ++a)
            f[4 * b + a] = {0.5 * grossas[b][0] + ((a & 1) ? pi : 0.0), 0.5 * grossas[b][1] + ((a & 2) ? pi : 0.0)};
}

// O símbolo de uma varredura: o da pré-suavização (simbolo_suavizador) ou o da pós (simbolo_pos_suavizacao).
using simbolo_varredura = matriz4 (*)(const pedido_lfa& p, double t1, double t2);

// S^nu, os blocos 4 x 4 da diagonal (o bloco b na base Phi_b / 2), a potência escalada trazida de volta.
std::vector<matriz4> suavizacao(const pedido_lfa& p, const std::vector<std::array<double, 2>>& f, int nu,
                                simbolo_varredura simbolo) {
    std::vector<matriz4> s(f.size() / 4);
    for (std::size_t b = 0; b < s.size(); ++b) {
        const potencia4 r = potencia(simbolo(p, f[4 * b][0], f[4 * b][1]), nu);
        const int e = static_cast<int>(std::clamp(r.expoente, -5000LL, 5000LL));
        for (int i = 0; i < 16; ++i) s[b][i] = {std::ldexp(r.m[i].real(), e), std::ldexp(r.m[i].imag(), e)};
    }
    return s;
}

// m S (S bloco-diagonal): as colunas 4b..4b+3 de m pelo bloco b.
matriz depois_de(const matriz& m, const std::vector<matriz4>& s) {
    matriz c(m.n);
    for (int i = 0; i < m.n; ++i)
        for (std::size_t b = 0; b < s.size(); ++b)
            for (int k = 0; k < 4; ++k) {
                const complexo x = m(i, static_cast<int>(4 * b) + k);
                for (int j = 0; j < 4; ++j) c(i, static_cast<int>(4 * b) + j) += x * s[b][k * 4 + j];
            }
    return c;
}

// S m (S bloco-diagonal): as linhas 4b..4b+3 de m pelo bloco b.
matriz antes_de(const std::vector<matriz4>& s, const matriz& m) {
    matriz c(m.n);
    for (std::size_t b = 0; b < s.size(); ++b)
        for (int i = 0; i < 4; ++i)
            for (int k = 0; k < 4; ++k) {
                const complexo x = s[b][i * 4 + k];
                const int linha = static_cast<int>(4 * b) + k;
                for (int j = 0; j < m.n; ++j) c(static_cast<int>(4 * b) + i, j) += x * m(linha, j);
            }
    return c;
}

double simbolo_l(const pedido_lfa& p, double f1, double f2) {
    const double s1 = std::sin(0.5 * f1), s2 = std::sin(0.5 * f2);
    return 4.0 * p.ae * (s1 * s1) + 4.0 * p.an * (s2 * s2);
}

matriz ciclo_de(const pedido_lfa_k& k, const pedido_lfa& p, int d, tipo_ciclo tipo, double t1, double t2);

// O nível mais grosso da análise: resolvido (0) ou N varreduras de um suavizador que mantém cada modo.
matriz mais_grosso(const pedido_lfa_k& k, const pedido_lfa& p, double t1, double t2) {
    matriz m(1);
    if (k.grosso >= 0 && pos_suavizacao_adjunta(p) && k.grosso % 2 == 0) {
        // a ordem adjunta com um número par: a metade na ordem da pré, a outra metade na adjunta
        const potencia4 a = potencia(simbolo_suavizador(p, t1, t2), k.grosso / 2);
        const potencia4 b = potencia(simbolo_pos_suavizacao(p, t1, t2), k.grosso / 2);
        const int e = static_cast<int>(std::clamp(a.expoente + b.expoente, -5000LL, 5000LL));
        const complexo x = b.m[0] * a.m[0];
        m(0, 0) = {std::ldexp(x.real(), e), std::ldexp(x.imag(), e)};
    } else if (k.grosso >= 0) {
        const potencia4 r = potencia(simbolo_suavizador(p, t1, t2), k.grosso);
        const int e = static_cast<int>(std::clamp(r.expoente, -5000LL, 5000LL));
        m(0, 0) = {std::ldexp(r.m[0].real(), e), std::ldexp(r.m[0].imag(), e)};
    }
    return m;
}

matriz ciclo_de(const pedido_lfa_k& k, const pedido_lfa& p, int d, tipo_ciclo tipo, double t1, double t2) {
    if (d == 1) return mais_grosso(k, p, t1, t2);
    pedido_lfa abaixo = p; // o operador rediscretizado do nível grosso: ae/4, an/4
    abaixo.ae = 0.25 * p.ae;
    abaixo.an = 0.25 * p.an;
    // C: os ciclos do nível abaixo, na ordem em que rodam (o primeiro à direita)
    const componente_ciclo& c = componente(tipo);
    const int ng = harmonicos(d - 1);
    matriz grosso = identidade(ng);
    for (int v = 0; v < c.chamadas; ++v) grosso = vezes(ciclo_de(k, abaixo, d - 1, c.abaixo[v], 2.0 * t1, 2.0 * t2), grosso);
    std::vector<std::array<double, 2>> f;
    frequencias(d, t1, t2, f);
    const pesos_constantes w = pesos_da_lfa(p);
    const estencil9 lh = estencil_grosso_da_lfa(p, w);
    // K = I - P (I - C) L_H^-1 R L: a coluna j (harmônico fino) vai por R L a Phi_b (b = j / 4), por (I - C) L_H^-1
    // às frequências grossas, por P aos quatro harmônicos de cada uma
    const int n = harmonicos(d);
    matriz kk = identidade(n);
    std::vector<complexo> pr(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) pr[static_cast<std::size_t>(i)] = simbolo_interpolacao(w, p.engrossamento, f[i][0], f[i][1]);
    for (int j = 0; j < n; ++j) {
        const int b = j / 4;
        const complexo rl = simbolo_restricao_geral(p, w, f[j][0], f[j][1]) * simbolo_l(p, f[j][0], f[j][1]) /
                            simbolo_estencil(lh, 2.0 * f[j][0], 2.0 * f[j][1]);
        for (int g = 0; g < ng; ++g) {
            const complexo x = ((g == b ? 1.0 : 0.0) - grosso(g, b)) * rl;
            if (x == 0.0) continue;
            for (int a = 0; a < 4; ++a) kk(4 * g + a, j) -= pr[static_cast<std::size_t>(4 * g + a)] * x;
        }
    }
    if (p.nu1 > 0) kk = depois_de(kk, suavizacao(p, f, p.nu1, simbolo_suavizador));
    if (p.nu2 > 0) kk = antes_de(suavizacao(p, f, p.nu2, simbolo_pos_suavizacao), kk);
    return kk;
}

} // namespace

const char* k_niveis_nao_se_aplica(const pedido_lfa_k& k) {
    const pedido_lfa& p = k.base;
    if (k.niveis >= 3 && (p.operador_grosso != tipo_operador_grosso::rediscretizado ||
                          p.engrossamento != tipo_engrossamento::completo))
        return "com o operador grosso de Galerkin ou o semiengrossamento os níveis grossos não têm aqui o símbolo do suavizador";
    if (k.grosso >= 0 && componente(p.suavizador).simbolo == forma_simbolo::vermelho_preto)
        return "o nível 1 suavizado (não resolvido) pelo vermelho-preto acopla harmônicos que o espaço da análise não tem";
    return nullptr;
}

std::vector<complexo> simbolo_k_niveis(const pedido_lfa_k& k, double t1, double t2) {
    return ciclo_de(k, k.base, k.niveis, k.ciclo, t1, t2).v;
}

std::vector<std::array<double, 2>> frequencias_k_niveis(int k, double t1, double t2) {
    std::vector<std::array<double, 2>> f;
    frequencias(k, t1, t2, f);
    return f;
}

double raio_k_niveis(const pedido_lfa_k& k, double t1, double t2) {
    const matriz m = ciclo_de(k, k.base, k.niveis, k.ciclo, t1, t2);
    const double rho = raio_espectral(m.v, m.n);
    // O QR perde às vezes o autovalor dominante destes símbolos de posto baixo (muitos autovalores nulos): um raio
    // ínfimo diante das entradas é conferido na transposta, que tem os mesmos autovalores, e fica o maior dos dois.
    double maior = 0.0;
    for (const complexo& z : m.v) maior = std::max(maior, std::abs(z));
    if (!(rho < 1e-6 * maior)) return rho;
    matriz t(m.n);
    for (int i = 0; i < m.n; ++i)
        for (int j = 0; j < m.n; ++j) t(i, j) = m(j, i);
    return std::max(rho, raio_espectral(t.v, t.n));
}
