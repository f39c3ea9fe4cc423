// Cifras de uma rodada: registros só de dados, que a análise e o solver preenchem e os relatórios só imprimem.
#pragma once

#include <array>
#include <limits>
#include <string>
#include <vector>

/// Valor de uma cifra que não se aplica ou não pôde ser medida (campo vazio no CSV, "-" nos textos).
inline constexpr double sem_cifra = std::numeric_limits<double>::quiet_NaN();

// Erro do campo final contra a solução exata do problema (NaN: o problema não tem solução exata).
struct erro_exato {
    double maximo = 0.0; // max |T - T_exata|
    double medio = 0.0;  // média de |T - T_exata| sobre todos os pontos
};

/// Pontos por direção da amostra do campo que os gráficos desenham (e que o plano de memória conta).
inline constexpr int lado_da_amostra = 257;
/// Células por direção, no máximo, do mapa de kappa: cada uma um pixel da imagem da figura.
inline constexpr int celulas_do_mapa = 256;

// Amostra do campo final: até `lado` pontos por direção, a última linha e a última coluna sempre incluídas; e, com
// o coeficiente variável, o campo kappa em até celulas_do_mapa blocos por direção (blocos de 1, 2, 4, ... células,
// cada um com o valor da célula do seu centro).
struct amostra_campo {
    std::vector<double> x, y;    // coordenadas das colunas e das linhas amostradas
    std::vector<double> T, erro; // T e |T - T_exata| no ponto (c, b): índice c + b * x.size() (erro NaN sem exata)
    std::vector<double> xc, yc;  // centros das colunas e das linhas de células amostradas (vazios: kappa constante)
    std::vector<double> kappa;   // kappa na célula (c, b): índice c + b * xc.size()
};

// Uma linha da tabela da análise de Fourier local: os fatores com nu1 varreduras antes e nu2 depois.
struct linha_lfa {
    int nu1 = 0, nu2 = 0;
    double mu = sem_cifra;    // fator de suavização de uma varredura
    double mu_nu = sem_cifra; // sup rho(Q S^nu)^(1/nu), nu = nu1 + nu2: suavização por varredura em nu varreduras
    double rho = sem_cifra;   // fator de dois níveis (sem_cifra com nm = 1)
    bool da_rodada = false;   // as contagens do método da rodada
};

// Uma linha da LFA de k níveis do ciclo da rodada.
struct linha_lfa_k {
    int niveis = 2;           // k
    double rho = sem_cifra;   // sup do raio do símbolo de k níveis (sem_cifra: não se aplica, ver porque)
    int grosso = -1;          // varreduras no nível mais grosso da análise; -1 = resolvido
    std::string porque;       // por que não se aplica (vazio quando se aplica)
};

// Um mapa de Fourier para --lfa --plot: valor(i, j) na frequência (de + (i + 1/2) passo, de + (j + 1/2) passo),
// em múltiplos de pi, i, j = 0..n-1, índice i + j n.
struct mapa_fourier {
    int n = 0;
    double de = 0.0, passo = 0.0;           // em múltiplos de pi
    std::vector<double> valor;
    double fator = sem_cifra;               // o sup que a análise dá (mu, rho, rho_lfa_k3)
    std::array<double, 2> onde{sem_cifra, sem_cifra}; // a frequência do maior valor do mapa (na região marcada), / pi
    double maior = sem_cifra;               // esse maior valor
};

// As figuras da LFA: |S(theta)| em [-pi, pi)^2, o fator de dois níveis e o de três níveis nas frequências baixas.
struct mapas_lfa {
    mapa_fourier suavizacao, dois_niveis, tres_niveis; // tres_niveis.n = 0: não se aplica
    double meia_x = 0.5, meia_y = 0.5;      // a região das frequências baixas: |theta1| < meia_x pi, |theta2| < meia_y pi
};

// A teoria ao lado da medida: o que a análise calcula do estado e do método de uma rodada.
struct cifras_rodada {
    // análise de Fourier local com os componentes da rodada e a anisotropia do nível mais fino
    bool lfa_aplica = true;                        // false com o coeficiente variável (sem símbolo de Fourier)
    double ae_an = sem_cifra;                      // ae/an do nível mais fino
    int nu1 = 0, nu2 = 0;                          // varreduras antes e depois da correção grossa
    double mu_lfa = sem_cifra, mu_nu_lfa = sem_cifra;
    double rho_lfa = sem_cifra;                    // sem_cifra com nm = 1
    // LFA de k = 2, 3, 4 níveis do ciclo da rodada (sem_cifra onde não se aplica: k > nm, entre outros)
    std::array<double, 3> rho_lfa_k = {sem_cifra, sem_cifra, sem_cifra};
    // fator assintótico medido: reta de ln hist(it) sobre os ciclos ajuste_de..ajuste_ate
    double q_assintotico = sem_cifra, r2 = sem_cifra;
    int ajuste_de = 0, ajuste_ate = 0;             // 0, 0: sem ciclos bastantes
    int piso = -1;                                 // primeiro ciclo no piso de arredondamento; -1 = não chegou
    // trabalho por ciclo, em unidades de trabalho (UT: uma varredura no nível mais fino)
    double trabalho_ciclo = sem_cifra;             // varreduras
    double transferencias_ciclo = sem_cifra;       // restrições e prolongações, à parte
    double solucoes_exatas_ciclo = 0.0;            // soluções diretas do nível 1, fora das UT
    double trabalho_fmg = sem_cifra;               // varreduras do início por multigrid completo (só com fmg)
    double q_por_trabalho = sem_cifra;             // q_assintotico^(1/trabalho_ciclo)
    double digitos_por_trabalho = sem_cifra;       // -log10(q_assintotico)/trabalho_ciclo
    // erro do campo final
    bool solucao_exata = true;                     // o problema tem solução exata (senão os erros são NaN)
    erro_exato erro;                               // |T - T_exata|
    double erro_algebrico_max = sem_cifra, erro_algebrico_medio = sem_cifra;         // |T - T_discreta|
    double erro_discretizacao_max = sem_cifra, erro_discretizacao_medio = sem_cifra; // |T_discreta - T_exata|
    // o resíduo verdadeiro do campo final nas normas L2 e máxima, e a estimativa L2 do método de Krylov (sem_cifra
    // sem ele)
    double l2_final = sem_cifra, max_final = sem_cifra, l2_krylov_final = sem_cifra;
};

// Por que a LFA diz que o método não converge.
enum class causa_divergencia {
    nenhuma,               // rho < rho_sem_convergencia (ou nm = 1: a LFA não dá o fator da iteração)
    sem_suavizacao,        // nenhuma varredura antes nem depois da correção grossa
    suavizador,            // o suavizador não reduz as frequências altas (mu >= 1)
    vermelho_preto_injecao, // depois de uma varredura vermelho-preto o resíduo vive nos pontos que a injeção amostra
    correcao_grossa,       // a correção grossa amplia algum modo
};

// A previsão da LFA antes da solução.
struct previsao_lfa {
    double rho = sem_cifra, mu = sem_cifra;
    causa_divergencia causa = causa_divergencia::nenhuma;
};

// De onde vem uma rodada: o programa, a máquina e o que a solução usou dela (colunas do resumo, seção do JSON).
struct proveniencia {
    std::string versao;      // a versão do placa
    std::string commit;      // git describe da árvore na configuração; "unknown" fora de um checkout
    std::string compilador;  // "gcc 12.2.0", "clang 16.0.6"
    std::string maquina;     // nome da máquina
    std::string processador; // modelo do processador
    int threads = 0;         // threads que a solução usou
    std::string instrucoes;  // as da passada rápida ("scalar/avx512": varreduras/parcelas da norma), ou "off"
};

// As normas L2 e máxima do resíduo verdadeiro de uma iteração e a estimativa L2 do método de Krylov (sem_cifra sem
// ele); a L1 é hist(it).
struct normas_iteracao {
    double l2 = sem_cifra, maximo = sem_cifra, krylov = sem_cifra;
};

// Erro algébrico de uma iteração (--csv-errors).
struct erro_iteracao {
    double maximo = sem_cifra, medio = sem_cifra;
};

// Fases cronometradas de uma solução (--timing). As fundidas são passadas rápidas que fazem duas coisas de uma vez.
enum class fase_tempo {
    suavizacao,               // varreduras dos níveis 2..nm (e do único nível com nm = 1)
    restricao,                // resíduo restrito ao nível abaixo
    prolongacao,              // correção (ou campo, no FMG) interpolada e somada
    norma,                    // norma L1 dos resíduos no fim de cada iteração externa
    grosso,                   // nível 1: varreduras ou solução direta
    suavizacao_restricao,     // passada rápida: pré-suavização e restrição juntas
    prolongacao_suavizacao,   // passada rápida: prolongação e pós-suavização (e a norma, no mais fino) juntas
    suavizacao_norma,         // passada rápida de nm = 1: varreduras e norma juntas
    operador,                 // coeficiente por ponto do operador variável do nível, montado uma vez por solução
};
inline constexpr int fases_tempo = 9;

// Tempo de relógio somado por nível e fase ao longo da solução, em segundos.
struct tempos_fases {
    std::vector<std::array<double, fases_tempo>> por_nivel; // índices 1..nm (0 sem uso)
    std::vector<std::array<long long, fases_tempo>> chamadas; // quantas vezes cada fase rodou
};
