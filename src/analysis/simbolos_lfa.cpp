// Símbolos de Fourier dos componentes do método no espaço dos 4 harmônicos de uma frequência baixa.
#include <algorithm>
#include <cmath>

#include "analysis/analise.h"
#include "state/componentes.h"

// Convenções. Modo de Fourier phi(theta)(i, j) = exp(I (theta1 (i-1) + theta2 (j-1))), fase medida a partir
// do ponto (1, 1): nos pontos do nível grosso ((i-1) e (j-1) pares) os 4 harmônicos coincidem com o modo
// grosso de frequência 2 theta, e os pontos vermelhos (i + j par) são os de (i-1) + (j-1) par.
// Operador L = ap u - ae (W + E) - an (S + N), símbolo L(phi) = 4 ae sin^2(phi1/2) + 4 an sin^2(phi2/2)
// (forma sem cancelamento perto de 0). O erro e = u* - u evolui por S e por K = I - P L_H^-1 R L.

namespace {

// Harmônico a de theta: theta + (pi (a&1), pi (a>>1)). Guarda exp(I phi) e os senos e cossenos de phi/2,
// tirados de theta sem somar pi (cos((t+pi)/2) = -sin(t/2)), para que 1 - cos perto de 0 não perca dígitos.
struct harmonico {
    complexo e1, e2;    // exp(I phi1), exp(I phi2)
    double c1, s1;      // cos(phi1/2), sin(phi1/2)
    double c2, s2;
};

harmonico frequencia(int a, double t1, double t2) {
    harmonico h;
    const double c1 = std::cos(0.5 * t1), s1 = std::sin(0.5 * t1);
    const double c2 = std::cos(0.5 * t2), s2 = std::sin(0.5 * t2);
    const complexo e1 = std::polar(1.0, t1), e2 = std::polar(1.0, t2);
    const bool x = (a & 1) != 0, y = (a & 2) != 0;
    h.e1 = x ? -e1 : e1;
    h.c1 = x ? -s1 : c1;
    h.s1 = x ? c1 : s1;
    h.e2 = y ? -e2 : e2;
    h.c2 = y ? -s2 : c2;
    h.s2 = y ? c2 : s2;
    return h;
}

double simbolo_operador(double ae, double an, const harmonico& h) {
    return 4.0 * ae * (h.s1 * h.s1) + 4.0 * an * (h.s2 * h.s2);
}

// Interpolação bilinear e restrição completa: (1 + cos phi1)(1 + cos phi2)/4 = cos^2(phi1/2) cos^2(phi2/2).
double bilinear(const harmonico& h) { return (h.c1 * h.c1) * (h.c2 * h.c2); }

double omega_de(const pedido_lfa& p) { return p.omega > 0.0 ? p.omega : componente(p.suavizador).omega_padrao; }

// Gauss-Seidel pontual com relaxação: vizinhos "novos" multiplicam exp(-I phi), os "velhos" exp(+I phi);
// para frente (lexicográfico) os novos são W e S, para trás são E e N.
complexo gs_pontual(const pedido_lfa& p, double w, const harmonico& h, int sentido) {
    const double ap = 2.0 * (p.ae + p.an);
    const complexo ex = sentido > 0 ? h.e1 : std::conj(h.e1);
    const complexo ey = sentido > 0 ? h.e2 : std::conj(h.e2);
    const complexo velhos = p.ae * ex + p.an * ey;
    const complexo novos = p.ae * std::conj(ex) + p.an * std::conj(ey);
    return ((1.0 - w) * ap + w * velhos) / (ap - w * novos);
}

// Linhas em x (filas de sul a norte, cada uma resolvida exatamente): a fila de baixo já é nova.
complexo linha_x(const pedido_lfa& p, const harmonico& h) {
    const double ap = 2.0 * (p.ae + p.an);
    return p.an * h.e2 / (ap - 2.0 * p.ae * h.e1.real() - p.an * std::conj(h.e2));
}

// Linhas em y (colunas de oeste a leste): a coluna a oeste já é nova.
complexo linha_y(const pedido_lfa& p, const harmonico& h) {
    const double ap = 2.0 * (p.ae + p.an);
    return p.ae * h.e1 / (ap - 2.0 * p.an * h.e2.real() - p.ae * std::conj(h.e1));
}

// Suavizadores que mantêm cada modo: símbolo escalar de uma varredura (gs-sym e line-alt são o par).
complexo simbolo_escalar(const pedido_lfa& p, const harmonico& h) {
    const double w = omega_de(p);
    switch (componente(p.suavizador).simbolo) {
    case forma_simbolo::gs_frente: return gs_pontual(p, w, h, 1);
    case forma_simbolo::gs_ida_e_volta: return gs_pontual(p, w, h, -1) * gs_pontual(p, w, h, 1);
    case forma_simbolo::jacobi: return 1.0 - w * simbolo_operador(p.ae, p.an, h) / (2.0 * (p.ae + p.an));
    case forma_simbolo::linhas_x: return linha_x(p, h);
    case forma_simbolo::linhas_y: return linha_y(p, h);
    case forma_simbolo::linhas_y_e_x: return linha_y(p, h) * linha_x(p, h);
    case forma_simbolo::vermelho_preto: break;
    }
    return 0.0;
}

// Meia varredura vermelho-preto: Jacobi amortecido (símbolo j) nos pontos de uma cor, os outros intactos.
// Com chi_V phi(theta) = (phi(theta) + phi(theta + (pi,pi)))/2, o harmônico a vai para
// (1 + j_a)/2 em a e (j_a - 1)/2 (vermelhos) ou (1 - j_a)/2 (pretos) em a^3.
matriz4 meia_varredura_rb(const double (&j)[4], double sinal) {
    matriz4 s{};
    for (int a = 0; a < 4; ++a) {
        s[a * 4 + a] = 0.5 * (1.0 + j[a]);
        s[(a ^ 3) * 4 + a] = sinal * 0.5 * (j[a] - 1.0);
    }
    return s;
}

// Injeção 1; meia (4 + 2 cos phi1 + 2 cos phi2)/8 = (cos^2(phi1/2) + cos^2(phi2/2))/2; completa = bilinear.
double simbolo_restricao(tipo_restricao r, const harmonico& h) {
    switch (componente(r).simbolo) {
    case forma_restricao::injecao: return 1.0;
    case forma_restricao::meia: return 0.5 * (h.c1 * h.c1 + h.c2 * h.c2);
    case forma_restricao::completa:
    case forma_restricao::transposta: break; // a transposta da bilinear é a completa (as outras: simbolos_transferencias)
    }
    return bilinear(h);
}

} // namespace

pedido_lfa pedido_do_metodo(const metodo_efetivo& m, double ae, double an) {
    pedido_lfa p;
    p.ae = ae;
    p.an = an;
    // só ae/an importa: coeficientes enormes (um eps enorme) são trazidos para perto de 1, onde os símbolos não
    // estouram; os de sempre ficam como estão (os mesmos bits de antes)
    if (const double maior = std::max(ae, an); maior > 1e100) {
        p.ae = ae / maior;
        p.an = an / maior;
    }
    p.suavizador = m.suavizador;
    p.omega = m.omega;
    p.restricao = m.restricao;
    p.operador_grosso = m.operador_grosso;
    p.interpolacao = m.interpolacao;
    p.engrossamento = m.engrossamento;
    p.nu1 = m.pre;
    p.nu2 = m.pos;
    p.ordem = m.ordem;
    return p;
}

matriz4 produto(const matriz4& a, const matriz4& b) {
    matriz4 c{};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k)
            for (int j = 0; j < 4; ++j) c[i * 4 + j] += a[i * 4 + k] * b[k * 4 + j];
    return c;
}

matriz4 simbolo_suavizador(const pedido_lfa& p, double t1, double t2) {
    matriz4 s{};
    if (componente(p.suavizador).simbolo == forma_simbolo::vermelho_preto) {
        const double w = omega_de(p), ap = 2.0 * (p.ae + p.an);
        double j[4];
        for (int a = 0; a < 4; ++a) j[a] = 1.0 - w * simbolo_operador(p.ae, p.an, frequencia(a, t1, t2)) / ap;
        return produto(meia_varredura_rb(j, -1.0), meia_varredura_rb(j, 1.0)); // vermelhos, depois pretos
    }
    for (int a = 0; a < 4; ++a) s[a * 4 + a] = simbolo_escalar(p, frequencia(a, t1, t2));
    return s;
}

bool pos_suavizacao_adjunta(const pedido_lfa& p) {
    const forma_simbolo f = componente(p.suavizador).simbolo;
    return p.ordem == ordem_pos::adjunta && (f == forma_simbolo::gs_frente || f == forma_simbolo::vermelho_preto);
}

// A varredura adjunta: gs-lex para trás (os vizinhos novos são E e N: o símbolo da frente com as exponenciais
// conjugadas, o da frente em -phi), gs-rb com as cores trocadas (pretos, depois vermelhos).
matriz4 simbolo_pos_suavizacao(const pedido_lfa& p, double t1, double t2) {
    if (!pos_suavizacao_adjunta(p)) return simbolo_suavizador(p, t1, t2);
    const double w = omega_de(p);
    if (componente(p.suavizador).simbolo == forma_simbolo::vermelho_preto) {
        const double ap = 2.0 * (p.ae + p.an);
        double j[4];
        for (int a = 0; a < 4; ++a) j[a] = 1.0 - w * simbolo_operador(p.ae, p.an, frequencia(a, t1, t2)) / ap;
        return produto(meia_varredura_rb(j, 1.0), meia_varredura_rb(j, -1.0)); // pretos, depois vermelhos
    }
    matriz4 s{};
    for (int a = 0; a < 4; ++a) s[a * 4 + a] = gs_pontual(p, w, frequencia(a, t1, t2), -1);
    return s;
}

// K(b, a) = delta(a, b) - p(b) r(a) L(a) / L_H(2 theta); L_H com ae/4, an/4 (espaçamentos dobrados):
// L_H(2 theta) = ae sin^2(theta1) + an sin^2(theta2). Interpolação bilinear: p = cos^2(phi1/2) cos^2(phi2/2).
matriz4 simbolo_correcao_grossa(const pedido_lfa& p, double t1, double t2) {
    if (!transferencias_classicas(p)) return correcao_grossa_geral(p, t1, t2);
    const double s1 = std::sin(t1), s2 = std::sin(t2);
    const double lh = p.ae * (s1 * s1) + p.an * (s2 * s2);
    double pr[4], rl[4];
    for (int a = 0; a < 4; ++a) {
        const harmonico h = frequencia(a, t1, t2);
        pr[a] = bilinear(h);
        rl[a] = simbolo_restricao(p.restricao, h) * simbolo_operador(p.ae, p.an, h) / lh;
    }
    matriz4 k{};
    for (int b = 0; b < 4; ++b)
        for (int a = 0; a < 4; ++a) k[b * 4 + a] = (a == b ? 1.0 : 0.0) - pr[b] * rl[a];
    return k;
}

namespace {

// Escala m por uma potência de 2 (exata) quando o maior módulo sai de [2^-400, 2^400]; o expoente acumula.
void normalizar(potencia4& p) {
    double maior = 0.0;
    for (const complexo& x : p.m) maior = std::max(maior, std::max(std::fabs(x.real()), std::fabs(x.imag())));
    if (!(maior > 0x1p-400 && maior < 0x1p400) && maior > 0.0 && std::isfinite(maior)) {
        const int k = std::ilogb(maior);
        for (complexo& x : p.m) x = {std::ldexp(x.real(), -k), std::ldexp(x.imag(), -k)};
        p.expoente += k;
    }
}

// S_pos^nu2 K S^nu1 escalado.
potencia4 dois_niveis(const pedido_lfa& p, double t1, double t2) {
    const matriz4 s = simbolo_suavizador(p, t1, t2);
    potencia4 r{simbolo_correcao_grossa(p, t1, t2), 0};
    if (p.nu1 > 0) {
        const potencia4 antes = potencia(s, p.nu1);
        r.m = produto(r.m, antes.m);
        r.expoente += antes.expoente;
        normalizar(r);
    }
    if (p.nu2 > 0) {
        const potencia4 depois = potencia(pos_suavizacao_adjunta(p) ? simbolo_pos_suavizacao(p, t1, t2) : s, p.nu2);
        r.m = produto(depois.m, r.m);
        r.expoente += depois.expoente;
        normalizar(r);
    }
    return r;
}

} // namespace

potencia4 potencia(const matriz4& a, long long n) {
    potencia4 r;
    if (n <= 0) {
        for (int i = 0; i < 4; ++i) r.m[i * 4 + i] = 1.0;
        return r;
    }
    r.m = a;
    int bit = 62;
    while (!((n >> bit) & 1)) --bit;
    // da esquerda para a direita: a^2 = a a, a^3 = a^2 a, como o produto repetido nas potências pequenas
    while (bit-- > 0) {
        r.m = produto(r.m, r.m);
        r.expoente *= 2;
        normalizar(r);
        if ((n >> bit) & 1) {
            r.m = produto(r.m, a);
            normalizar(r);
        }
    }
    return r;
}

matriz4 simbolo_dois_niveis(const pedido_lfa& p, double t1, double t2) {
    potencia4 r = dois_niveis(p, t1, t2);
    const int e = static_cast<int>(std::clamp(r.expoente, -5000LL, 5000LL));
    for (complexo& x : r.m) x = {std::ldexp(x.real(), e), std::ldexp(x.imag(), e)};
    return r.m;
}

double raio_dois_niveis(const pedido_lfa& p, double t1, double t2) {
    const potencia4 r = dois_niveis(p, t1, t2);
    return std::ldexp(raio_espectral(r.m, 4), static_cast<int>(std::clamp(r.expoente, -5000LL, 5000LL)));
}

double raio_suavizado(const matriz4& s, long long nu, tipo_engrossamento g) {
    return raio_suavizado(potencia(s, nu), nu, g);
}

double raio_suavizado(potencia4 r, long long nu, tipo_engrossamento g) {
    for (int j = 0; j < 4; ++j) r.m[j] = 0.0;
    // no semiengrossamento o nível grosso representa também o harmônico que só é alto na direção não engrossada
    const int baixo = g == tipo_engrossamento::x ? 2 : g == tipo_engrossamento::y ? 1 : 0;
    if (baixo != 0)
        for (int j = 0; j < 4; ++j) r.m[baixo * 4 + j] = 0.0;
    const double rho = raio_espectral(r.m, 4);
    if (r.expoente == 0) return std::pow(rho, 1.0 / static_cast<double>(nu));
    // rho 2^e, raiz nu: pelos logaritmos de base 2, sem formar 2^e
    return std::exp2((std::log2(rho) + static_cast<double>(r.expoente)) / static_cast<double>(nu));
}
