create table customers (id integer primary key, name text);
create table orders (customer integer references customers (id), item text, qty integer);
insert into customers values (1, 'Acme Ltd'), (2, 'Zeta & Co');
insert into orders values (1, 'Bolts, M6', 200), (1, 'Nuts @ 2c', 500), (2, 'Gears', 3);
